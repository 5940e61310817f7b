#include "battle/arena/arena_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/r3x.h"

namespace {

class ArenaGeometryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(r3xInit(), R3X_DONE); }
  void TearDown() override {
    gOwnTankPlacement = {};
    gListenerPlacement = {};
    r3xShutdown();
  }
};

TEST_F(ArenaGeometryTest, NearnessComparesSquaresAgainstTheRadius) {
  gOwnTankPlacement = {10, 20, 30, 0, 0, 0, 0};
  gListenerPlacement = {-5, 0, 0, 0, 0, 0, 0};
  struct {
    float point[3];
    float radius;
    int own;
    int camera;
  } const cases[] = {
      {{13, 24, 30}, 5.0f, 1, 0},     // exactly at the radius
      {{13, 24, 30.1f}, 5.0f, 0, 0},  // just beyond
      {{10, 20, 30}, 0.0f, 1, 0},     // radius 0: only the position itself
      {{10, 20, 30.001f}, 0.0f, 0, 0}, {{-5, 3, 4}, 5.0f, 0, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNearOwnTank(c.point, c.radius), c.own);
    EXPECT_EQ(IsNearCamera(c.point, c.radius), c.camera);
  }
}

TEST_F(ArenaGeometryTest, HeadingAndPitchTable) {
  const float origin[3] = {0, 0, 0};
  // A vertical d has no heading of its own: only its pitch is checked.
  constexpr float kAny = -1.0f;
  struct {
    float d[3];
    float heading;
    float pitch;
  } const cases[] = {
      {{1, 0, 0}, 256.0f, 0.0f},  {{0, 1, 0}, 384.0f, 0.0f},  {{-1, 0, 0}, 0.0f, 0.0f},
      {{0, 0, -1}, kAny, 128.0f}, {{0, 0, 1}, kAny, 384.0f},  {{1, 0, -1}, 256.0f, 64.0f},
      {{0, -2, 0}, 128.0f, 0.0f}, {{1, -1, 0}, 192.0f, 0.0f}, {{-1, -1, 0}, 64.0f, 0.0f},
  };
  for (const auto& c : cases) {
    float heading = 0.0f;
    float pitch = 0.0f;
    GetHeadingPitch(c.d, origin, &heading, &pitch);
    if (c.heading != kAny) {
      EXPECT_NEAR(heading, c.heading, 1.0f) << c.d[0] << " " << c.d[1] << " " << c.d[2];
    }
    EXPECT_NEAR(pitch, c.pitch, 1.0f) << c.d[0] << " " << c.d[1] << " " << c.d[2];
    EXPECT_GE(pitch, 0.0f);
    EXPECT_LT(pitch, 512.0f);
  }
}

// What the towers and recon guns rely on: the heading and pitch from a to b, taken as the motion
// model's forward direction (cos h cos p, sin h cos p, sin p), point from a at b.
TEST_F(ArenaGeometryTest, HeadingAndPitchPointFromATowardB) {
  const float a[3] = {150.0f, 150.0f, 60.0f};
  const float targets[][3] = {{250, 180, 60}, {150, 250, 60}, {100, 120, 60},  {170, 40, 60},
                              {40, 151, 60},  {260, 150, 60}, {150, 149, 60},  {200, 200, 10},
                              {120, 160, 90}, {151, 149, 60}, {-80, -300, 60}, {149, 400, 0}};
  for (const auto& b : targets) {
    float heading = 0.0f;
    float pitch = 0.0f;
    GetHeadingPitch(a, b, &heading, &pitch);
    const float forward[3] = {r3xCosUnits(heading) * r3xCosUnits(pitch),
                              r3xSinUnits(heading) * r3xCosUnits(pitch), r3xSinUnits(pitch)};
    const float d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const float along = (forward[0] * d[0] + forward[1] * d[1] + forward[2] * d[2]) / length;
    // Two 512ths of a turn off at most: each angle is rounded down to a whole unit.
    EXPECT_GT(along, std::cos(2.0f * 2.0f * 3.14159265f / 512.0f))
        << b[0] << " " << b[1] << " " << b[2] << ": heading " << heading << ", pitch " << pitch;
  }
}

TEST_F(ArenaGeometryTest, FastDistance2D) {
  const float a[3] = {0, 0, 100};
  const float b[3] = {3, 4, -100};
  const float c[3] = {-4, 3, 0};
  EXPECT_FLOAT_EQ(FastDistance2D(a, b), 5.5f);
  EXPECT_FLOAT_EQ(FastDistance2D(a, c), 5.5f);
  EXPECT_FLOAT_EQ(FastDistance2D(a, a), 0.0f);
}

TEST_F(ArenaGeometryTest, DistanceRatioTable) {
  const float centre[3] = {0, 0, 0};
  struct {
    const char* name;
    float point[3];
    float radius;
    float ratio;
  } const cases[] = {
      {"equal points", {0, 0, 0}, 10.0f, 0.0f},
      {"equal points at radius 0", {0, 0, 0}, 0.0f, 0.0f},
      {"halfway", {3, 4, 0}, 10.0f, 0.5f},
      {"at the radius", {0, 0, 10}, 10.0f, 1.0f},
      {"dx just above the radius", {10.01f, 0, 0}, 10.0f, -1.0f},
      {"dy above the radius", {0, -11, 0}, 10.0f, -1.0f},
      {"inside the box, outside the sphere", {8, 8, 0}, 10.0f, -1.0f},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(GetDistanceRatio(c.point, centre, c.radius), c.ratio, 1e-4f) << c.name;
  }
}

TEST_F(ArenaGeometryTest, MoveAlongLocalAxes) {
  R3xPlacement placement = {1, 2, 3, 128, 0, 0, 5};
  const float ahead[3] = {4, 0, 0};
  MoveAlongLocal(&placement, ahead, 1.0f);
  EXPECT_NEAR(placement.x, 1.0f, 1e-4f);
  EXPECT_NEAR(placement.y, 6.0f, 1e-4f);
  EXPECT_NEAR(placement.z, 3.0f, 1e-4f);
  EXPECT_EQ(placement.heading, 128.0f);
  EXPECT_EQ(placement.region, 5);
  // Scale 0 changes nothing.
  const R3xPlacement before = placement;
  const float any[3] = {7, -8, 9};
  MoveAlongLocal(&placement, any, 0.0f);
  EXPECT_EQ(placement.x, before.x);
  EXPECT_EQ(placement.y, before.y);
  EXPECT_EQ(placement.z, before.z);
  // Pitched straight up, ahead is up.
  R3xPlacement up = {0, 0, 0, 0, 128, 0, 0};
  MoveAlongLocal(&up, ahead, 0.5f);
  EXPECT_NEAR(up.z, 2.0f, 1e-4f);
  EXPECT_NEAR(up.x, 0.0f, 1e-4f);
}

TEST_F(ArenaGeometryTest, ComposeTransform) {
  // Zero angles: the offset is added and the relative angles taken.
  R3xPlacement flat = {10, 20, 30, 0, -0.0f, 0, 0};
  const float relative[6] = {1, 2, 3, 10, 0, 0};
  ComposeTransform(&flat, relative);
  EXPECT_FLOAT_EQ(flat.x, 11.0f);
  EXPECT_FLOAT_EQ(flat.y, 22.0f);
  EXPECT_FLOAT_EQ(flat.z, 33.0f);
  EXPECT_FLOAT_EQ(flat.heading, 10.0f);

  // A turned placement rotates the offset; zero relative angles keep its angles.
  R3xPlacement turned = {0, 0, 0, 128, 0, 0, 0};
  const float offset[6] = {2, 0, 1, 0, 0, 0};
  ComposeTransform(&turned, offset);
  EXPECT_NEAR(turned.x, 0.0f, 1e-4f);
  EXPECT_NEAR(turned.y, 2.0f, 1e-4f);
  EXPECT_NEAR(turned.z, 1.0f, 1e-4f);
  EXPECT_FLOAT_EQ(turned.heading, 128.0f);

  // Headings add.
  R3xPlacement both = {0, 0, 0, 100, 0, 0, 0};
  const float more[6] = {0, 0, 0, 50, 0, 0};
  ComposeTransform(&both, more);
  EXPECT_NEAR(both.heading, 150.0f, 0.01f);
  // Angles come back in [0, 512]: a pitch of 0 may read as a full turn.
  EXPECT_NEAR(std::fmod(both.pitch, 512.0f), 0.0f, 0.01f);
}

}  // namespace
