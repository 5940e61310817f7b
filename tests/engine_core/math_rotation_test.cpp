#include <array>
#include <cmath>

#include "math_tables_fixture.h"

namespace {

using Matrix = std::array<float, 9>;
using MathRotationTest = MathTablesTest;

Matrix tableRotation(float heading, float pitch, float roll) {
  Matrix m{};
  EXPECT_EQ(r3xAnglesToMatrix(heading, pitch, roll, m.data()), R3X_DONE);
  return m;
}

Matrix interpRotation(float heading, float pitch, float roll) {
  Matrix m{};
  EXPECT_EQ(r3xAnglesToMatrixInterp(heading, pitch, roll, m.data()), R3X_DONE);
  return m;
}

void expectNear(const Matrix& actual, const Matrix& expected, double tolerance) {
  for (int i = 0; i < 9; ++i) {
    EXPECT_NEAR(actual[i], expected[i], tolerance) << "entry " << i;
  }
}

const Matrix kIdentity = {1, 0, 0, 0, 1, 0, 0, 0, 1};

struct DirectionCase {
  float heading;
  float pitch;
  float roll;
  Matrix expected;
};

// z-up: heading turns forward (row 1) from +x toward +y, pitch raises it toward +z, and roll
// turns up (row 3) toward -y.
TEST_F(MathRotationTest, TableRotationDirections) {
  const float h = 0.70710677f;
  const DirectionCase cases[] = {
      {0, 0, 0, kIdentity},
      {128, 0, 0, {0, 1, 0, -1, 0, 0, 0, 0, 1}},
      {64, 0, 0, {h, h, 0, -h, h, 0, 0, 0, 1}},
      {256, 0, 0, {-1, 0, 0, 0, -1, 0, 0, 0, 1}},
      {0, 128, 0, {0, 0, 1, 0, 1, 0, -1, 0, 0}},
      {0, 64, 0, {h, 0, h, 0, 1, 0, -h, 0, h}},
      {0, 0, 128, {1, 0, 0, 0, 0, 1, 0, -1, 0}},
      {128, 128, 0, {0, 0, 1, -1, 0, 0, 0, -1, 0}},
  };
  for (const DirectionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.heading << ", " << c.pitch << ", " << c.roll);
    expectNear(tableRotation(c.heading, c.pitch, c.roll), c.expected, 1e-7);
  }
  expectNear(tableRotation(0, 0, 0), kIdentity, 1e-9);
  const Matrix quarter = tableRotation(128, 0, 0);
  EXPECT_NEAR(quarter[0], 0.0, 1e-9);
  EXPECT_NEAR(quarter[1], 1.0, 1e-9);
  EXPECT_NEAR(quarter[2], 0.0, 1e-9);
}

struct IndexCase {
  float angle;
  float same;
};

// The table index is trunc(angle + 0.5) & 511: halves round up, negatives truncate toward zero.
TEST_F(MathRotationTest, TableRotationIndexRoundingAndWrap) {
  const IndexCase cases[] = {
      {127.6f, 128.0f}, {127.4f, 127.0f}, {640.0f, 128.0f}, {511.6f, 0.0f},
      {-0.7f, 0.0f},    {-1.2f, 0.0f},    {-1.6f, 511.0f},  {-384.0f, 129.0f},
  };
  for (const IndexCase& c : cases) {
    SCOPED_TRACE(c.angle);
    EXPECT_EQ(tableRotation(c.angle, 0, 0), tableRotation(c.same, 0, 0));
    EXPECT_EQ(tableRotation(0, c.angle, 0), tableRotation(0, c.same, 0));
    EXPECT_EQ(tableRotation(0, 0, c.angle), tableRotation(0, 0, c.same));
  }
}

TEST_F(MathRotationTest, InterpolatedRotationIsOrthonormalAndMatchesTheTableAtWholeAngles) {
  EXPECT_EQ(interpRotation(128, 37, 300), tableRotation(128, 37, 300));
  // Between entries sine and cosine lie on chords, which shorten each angle's unit circle by up
  // to 4e-5; three angles multiply that.
  const float angles[][3] = {
      {10.5f, 20.25f, 30.75f}, {-77.3f, 401.9f, 5.5f}, {255.5f, 127.5f, 383.1f}};
  for (const auto& a : angles) {
    const Matrix m = interpRotation(a[0], a[1], a[2]);
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        const float dot = r3xDot3(&m[3 * i], &m[3 * j]);
        EXPECT_NEAR(dot, i == j ? 1.0f : 0.0f, 1.5e-4) << i << j;
      }
    }
  }
  // Forward at heading 64.5 lies between the table's 64 and 65.
  const Matrix half = interpRotation(64.5f, 0, 0);
  EXPECT_NEAR(std::atan2(half[1], half[0]) * 512 / (2 * 3.14159265358979), 64.5, 1e-3);
}

struct Angles {
  float heading;
  float pitch;
  float roll;
};

TEST_F(MathRotationTest, MatrixToAnglesOfTheIdentityAndOfStraightUp) {
  Angles a{9, 9, 9};
  EXPECT_EQ(r3xMatrixToAngles(kIdentity.data(), &a.heading, &a.pitch, &a.roll), R3X_DONE);
  EXPECT_EQ(a.heading, 0.0f);
  EXPECT_EQ(a.pitch, 0.0f);
  EXPECT_EQ(a.roll, 0.0f);
  EXPECT_EQ(r3xMatrixToAnglesTable(kIdentity.data(), &a.heading, &a.pitch, &a.roll), R3X_DONE);
  EXPECT_EQ(a.heading, 0.0f);
  EXPECT_EQ(a.pitch, 0.0f);
  EXPECT_EQ(a.roll, 0.0f);

  // Forward straight up: the heading comes from -m3 and m4, the roll is 0.
  const Matrix up = {0, 0, 1, -1, 0, 0, 0, -1, 0};
  a = {9, 9, 9};
  EXPECT_EQ(r3xMatrixToAngles(up.data(), &a.heading, &a.pitch, &a.roll), R3X_DONE);
  EXPECT_NEAR(a.pitch, 128.0f, 1e-4);
  EXPECT_NEAR(a.heading, 128.0f, 1e-4);
  EXPECT_EQ(a.roll, 0.0f);
  a = {9, 9, 9};
  EXPECT_EQ(r3xMatrixToAnglesTable(up.data(), &a.heading, &a.pitch, &a.roll), R3X_DONE);
  EXPECT_EQ(a.pitch, 128.0f);
  EXPECT_EQ(a.heading, 128.0f);
  EXPECT_EQ(a.roll, 0.0f);
}

TEST_F(MathRotationTest, MatrixToAnglesOfADegenerateMatrixGivesZeros) {
  const Matrix zero{};
  const Matrix noForward = {0, 0, -0.0f, 1, 2, 3, 4, 5, 6};
  for (const Matrix& m : {zero, noForward}) {
    Angles a{9, 9, 9};
    EXPECT_EQ(r3xMatrixToAngles(m.data(), &a.heading, &a.pitch, &a.roll), R3X_ROTATION_DEGENERATE);
    EXPECT_EQ(a.heading, 0.0f);
    EXPECT_EQ(a.pitch, 0.0f);
    EXPECT_EQ(a.roll, 0.0f);
    a = {9, 9, 9};
    EXPECT_EQ(r3xMatrixToAnglesTable(m.data(), &a.heading, &a.pitch, &a.roll),
              R3X_ROTATION_DEGENERATE);
    EXPECT_EQ(a.heading, 0.0f);
    EXPECT_EQ(a.pitch, 0.0f);
    EXPECT_EQ(a.roll, 0.0f);
  }
}

TEST_F(MathRotationTest, AnglesSurviveARoundTrip) {
  // Pitch within a quarter turn either way of level, as rows of a rotation can express it.
  const Angles cases[] = {{10.5f, 20.25f, 30.75f},
                          {300.4f, 499.6f, 100.3f},
                          {77.7f, 0.5f, 400.2f},
                          {511.5f, 126.5f, 256.5f}};
  for (const Angles& c : cases) {
    const Matrix m = interpRotation(c.heading, c.pitch, c.roll);
    Angles a{};
    ASSERT_EQ(r3xMatrixToAngles(m.data(), &a.heading, &a.pitch, &a.roll), R3X_DONE);
    EXPECT_NEAR(a.heading, c.heading, 2e-3) << c.heading;
    EXPECT_NEAR(a.pitch, c.pitch, 2e-3) << c.pitch;
    EXPECT_NEAR(a.roll, c.roll, 2e-3) << c.roll;
    ASSERT_EQ(r3xMatrixToAnglesTable(m.data(), &a.heading, &a.pitch, &a.roll), R3X_DONE);
    EXPECT_EQ(a.heading, std::floor(c.heading)) << c.heading;
    EXPECT_EQ(a.pitch, std::floor(c.pitch)) << c.pitch;
    EXPECT_EQ(a.roll, std::floor(c.roll)) << c.roll;
  }
}

}  // namespace
