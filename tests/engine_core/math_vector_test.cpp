#include <cmath>

#include "math_tables_fixture.h"

namespace {

using MathVectorTest = MathTablesTest;

TEST(MathVectorDotCrossTest, DotAndCross) {
  const float a[3] = {1.0f, 2.0f, 3.0f};
  const float b[3] = {-4.0f, 5.0f, 0.5f};
  EXPECT_EQ(r3xDot3(a, b), 7.5f);

  const float x[3] = {1.0f, 0.0f, 0.0f};
  const float y[3] = {0.0f, 1.0f, 0.0f};
  float z[3] = {9.0f, 9.0f, 9.0f};
  EXPECT_EQ(r3xCross3(x, y, z), 0);
  EXPECT_EQ(z[0], 0.0f);
  EXPECT_EQ(z[1], 0.0f);
  EXPECT_EQ(z[2], 1.0f);

  // The output may be an input.
  float c[3] = {1.0f, 2.0f, 3.0f};
  r3xCross3(c, b, c);
  EXPECT_EQ(c[0], 2.0f * 0.5f - 3.0f * 5.0f);
  EXPECT_EQ(c[1], 3.0f * -4.0f - 1.0f * 0.5f);
  EXPECT_EQ(c[2], 1.0f * 5.0f - 2.0f * -4.0f);
}

TEST_F(MathVectorTest, NormalizeGivesAUnitVector) {
  float v[3] = {3.0f, 0.0f, -4.0f};
  EXPECT_EQ(r3xNormalize3(v, v), 0);
  EXPECT_NEAR(v[0], 0.6f, 1e-7);
  EXPECT_EQ(v[1], 0.0f);
  EXPECT_NEAR(v[2], -0.8f, 1e-7);

  const float tiny[3] = {1e-15f, -2e-15f, 2e-15f};
  float out[3];
  r3xNormalize3(tiny, out);
  EXPECT_NEAR(std::sqrt(r3xDot3(out, out)), 1.0, 1e-6);
}

TEST_F(MathVectorTest, ZeroVectorStaysZero) {
  const float zero[3] = {0.0f, 0.0f, 0.0f};
  float out[3] = {1.0f, 1.0f, 1.0f};
  EXPECT_EQ(r3xNormalize3(zero, out), 0);
  for (float value : out) {
    EXPECT_EQ(value, 0.0f);
  }
}

}  // namespace
