#include "battle/core/vector3.h"

#include <gtest/gtest.h>

namespace {

// The cross product follows the right hand (x by y gives z) and is anti-symmetric.
TEST(Vector3Test, CrossFollowsTheRightHand) {
  const struct {
    Vector3 a;
    Vector3 b;
    Vector3 cross;
  } cases[] = {
      {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
      {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
      {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
      {{2, 3, 4}, {5, 6, 7}, {-3, 6, -3}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cross(c.a, c.b), c.cross);
  }
}

TEST(Vector3Test, SumsDifferencesAndScalesWorkPerComponent) {
  const Vector3 a{1, 2, 3};
  const Vector3 b{4, -5, 6};
  EXPECT_EQ(Dot(a, b), 4.0f - 10.0f + 18.0f);
  EXPECT_EQ(Sum(a, b), (Vector3{5, -3, 9}));
  EXPECT_EQ(Difference(a, b), (Vector3{-3, 7, -3}));
  EXPECT_EQ(Scaled(a, -2.0f), (Vector3{-2, -4, -6}));
  float out[3] = {1, 1, 1};
  AddScaled(out, b.data(), 0.5f);
  EXPECT_EQ(std::to_array(out), (Vector3{3, -1.5f, 4}));
}

// The sum runs left to right: with a large first term the small ones vanish one by one.
TEST(Vector3Test, DotSumsFromLeftToRight) {
  const Vector3 a{1e8f, 1, 1};
  const Vector3 b{1, 4, 4};
  EXPECT_EQ(Dot(a, b), 1e8f);
  EXPECT_EQ(Dot(Vector3{4, 4, 1e8f}, Vector3{1, 1, 1}), 1e8f + 8.0f);
}

}  // namespace
