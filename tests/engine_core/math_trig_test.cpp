#include <cmath>
#include <limits>
#include <numbers>

#include "math_tables_fixture.h"

namespace {

constexpr double kRadiansPerUnit = 2.0 * std::numbers::pi / R3X_ANGLE_UNITS;

using MathTrigTest = MathTablesTest;

TEST_F(MathTrigTest, InterpolatedSineAndCosineAtTableAngles) {
  EXPECT_EQ(r3xSinUnits(128.0f), 1.0f);
  EXPECT_EQ(r3xCosUnits(0.0f), 1.0f);
  EXPECT_EQ(r3xSinUnits(37.0f), tables().sine[37]);
  EXPECT_EQ(r3xCosUnits(300.0f), tables().cosine[300]);
}

TEST_F(MathTrigTest, NegativeAnglesStepBelowTheirWholePart) {
  // -2 becomes whole part -3 and weight 1, so the result is exactly the next entry.
  EXPECT_EQ(r3xSinUnits(-2.0f), tables().sine[510]);
  EXPECT_EQ(r3xSinUnits(-1.0f), tables().sine[511]);
  EXPECT_NEAR(r3xSinUnits(-2.5f), std::sin(-2.5 * kRadiansPerUnit), 2e-5);
  EXPECT_EQ(r3xCosUnits(-128.5f), r3xCosUnits(128.5f));
  EXPECT_EQ(r3xCosUnits(-3.25f), r3xCosUnits(3.25f));
}

TEST_F(MathTrigTest, AnglesWrapAtAFullTurn) {
  const float angles[] = {0.25f, 5.5f, 130.75f, 300.125f, 510.5f};
  for (float a : angles) {
    EXPECT_EQ(r3xSinUnits(a + 512.0f), r3xSinUnits(a)) << a;
    EXPECT_EQ(r3xSinUnits(a + 1024.0f), r3xSinUnits(a)) << a;
    EXPECT_EQ(r3xCosUnits(a + 512.0f), r3xCosUnits(a)) << a;
    EXPECT_EQ(r3xSinUnits(a - 512.0f), r3xSinUnits(a)) << a;
  }
  // Between entry 511 and entry 0.
  EXPECT_NEAR(r3xSinUnits(511.5f), 0.5f * (tables().sine[511] + tables().sine[0]), 1e-9);
  EXPECT_NEAR(r3xCosUnits(511.5f), 0.5f * (tables().cosine[511] + tables().cosine[0]), 1e-9);
}

TEST_F(MathTrigTest, InterpolationIsWithinTheChordErrorOfTheTrueValue) {
  // A chord over one step sags at most step^2 / 8, about 1.9e-5.
  for (float a = -700.0f; a < 700.0f; a += 0.37f) {
    EXPECT_NEAR(r3xSinUnits(a), std::sin(a * kRadiansPerUnit), 2e-5) << a;
    EXPECT_NEAR(r3xCosUnits(a), std::cos(a * kRadiansPerUnit), 2e-5) << a;
  }
}

struct NearestCase {
  float angle;
  int index;
};

TEST_F(MathTrigTest, NearestTakesTheTruncatedAngleMasked) {
  const NearestCase cases[] = {
      {0.0f, 0},   {5.99f, 5},     {128.5f, 128}, {511.99f, 511}, {512.0f, 0},
      {517.9f, 5}, {1023.5f, 511}, {-0.5f, 0},    {-1.5f, 511},   {-513.0f, 511},
  };
  for (const NearestCase& c : cases) {
    EXPECT_EQ(r3xSinUnitsNearest(c.angle), tables().sine[c.index]) << c.angle;
    EXPECT_EQ(r3xCosUnitsNearest(c.angle), tables().cosine[c.index]) << c.angle;
  }
}

struct Atan2Case {
  float y;
  float x;
  float angle;
  int exact;
};

TEST_F(MathTrigTest, Atan2UnitsCases) {
  const float huge = std::numeric_limits<float>::max();
  const Atan2Case cases[] = {
      {0.0f, 0.0f, 128.0f, 1},    // axis case, including the zero vector
      {-0.0f, -0.0f, 128.0f, 1},  // -0 counts as non-negative
      {5.0f, 0.0f, 128.0f, 1},    {-5.0f, -0.0f, 384.0f, 1},
      {1.0f, -1.0f, 192.0f, 1},  // tangent 1 is record 64
      {1.0f, 1.0f, 64.0f, 1},     {-1.0f, -1.0f, 320.0f, 1},
      {-1.0f, 1.0f, 448.0f, 1},   {-1e-6f, 1.0f, 511.0f, 0},
      {0.0f, 1.0f, 0.0f, 0},  // tangent 0 lies just above record 0's tiny negative one
      {-0.0f, 1.0f, 0.0f, 0},     {0.0f, -1.0f, 255.0f, 0},
      {1.0f, 1e-30f, 127.0f, 0},  // ratio clamped to 1e30: the last record
      {1.0f, -1e-30f, 128.0f, 0}, {-1.0f, -1e-30f, 383.0f, 0},
      {-1.0f, 1e-30f, 384.0f, 0}, {huge, 1e-30f, 127.0f, 0},
  };
  for (const Atan2Case& c : cases) {
    int exact = -1;
    EXPECT_EQ(r3xAtan2Units(c.y, c.x, &exact), c.angle) << c.y << ", " << c.x;
    EXPECT_EQ(exact, c.exact) << c.y << ", " << c.x;
  }
}

TEST_F(MathTrigTest, Atan2UnitsRoundsDownToTheWholeUnit) {
  // Away from whole units the table resolves every direction to the unit below it.
  for (double units = 0.3; units < 512.0; units += 0.61) {
    const double fraction = units - std::floor(units);
    if (fraction < 0.01 || fraction > 0.99) {
      continue;
    }
    const double radians = units * kRadiansPerUnit;
    const auto y = static_cast<float>(37.0 * std::sin(radians));
    const auto x = static_cast<float>(37.0 * std::cos(radians));
    int exact = -1;
    EXPECT_EQ(r3xAtan2Units(y, x, &exact), static_cast<float>(std::floor(units))) << units;
    EXPECT_EQ(exact, 0) << units;
  }
}

TEST_F(MathTrigTest, Atan2UnitsFindsEveryTableTangentExactly) {
  // Record 0's tangent is negative, a direction just below the x axis.
  for (int k = 1; k < R3X_TANGENT_COUNT; ++k) {
    int exact = 0;
    EXPECT_EQ(r3xAtan2Units(tables().tangents[k].tangent, 1.0f, &exact), static_cast<float>(k))
        << k;
    EXPECT_EQ(exact, 1) << k;
  }
}

}  // namespace
