#include "engine/collide/collision_math.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(CollisionRatio, ClampsToTheTimeBoundAndNeverDividesByZero) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float a;
    float b;
    float expected;
  } cases[] = {
      {3.0f, 4.0f, 0.75f},
      {-3.0f, 4.0f, -0.75f},
      {1.0f, 1e-35f, 1e30f},
      {-1.0f, 1e-35f, -1e30f},
      {1.0f, 0.0f, 1e30f},
      {-1.0f, 0.0f, -1e30f},
      {1.0f, -0.0f, -1e30f},
      // 0 / 0, as a motion along a zero-length edge would give it, and NaN: no time.
      {0.0f, 0.0f, 1e30f},
      {nan, 1.0f, 1e30f},
      {1.0f, nan, 1e30f},
      {inf, inf, 1e30f},
      {inf, 1.0f, 1e30f},
      {-inf, 1.0f, -1e30f},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(_r3xRatio(c.a, c.b), c.expected) << c.a << " / " << c.b;
  }
}

}  // namespace
