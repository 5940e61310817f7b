#include "engine/collide/sweep_point.h"

#include <gtest/gtest.h>

#include "engine/collide/test_options.h"
#include "segment_maker.h"

namespace {

constexpr std::uint32_t kEstimate = R3X_TEST_TOUCH | R3X_TEST_BOX;
constexpr std::uint32_t kExact = kEstimate | R3X_SWEEP_EXACT;

struct PointCase {
  const char* name;
  Vec3 point;
  std::uint32_t options;
  std::int32_t hit2D;
  float time2D;
  std::int32_t hit3D;
  float time3D;
};

// Radius 5 from the origin along +x for 20: a point 3 across the motion is met 4 before it.
TEST(SweepPoint, HitsTimesAndTheEstimate) {
  const R3xSweepSegment segment = makeSegment(Vec3{0, 0, 0}, Vec3{20, 0, 0}, 5.0f);
  const PointCase cases[] = {
      {"ahead", {10, 0, 0}, kExact, 1, 5, 1, 5},
      {"ahead, estimated", {10, 0, 0}, kEstimate, 1, 5, 1, 5},
      {"across by 3", {10, 3, 0}, kExact, 1, 6, 1, 6},
      {"across by 3, estimated", {10, 3, 0}, kEstimate, 1, 5, 1, 5},
      {"across by 3 in z: only 2D ignores it", {10, 0, 3}, kExact, 1, 5, 1, 6},
      {"across by the radius", {10, 5, 0}, kExact, 0, 0, 0, 0},
      {"behind", {-3, 0, 0}, kExact, 0, 0, 0, 0},
      // Within the sphere from the start: the 2D estimate stays negative, the 3D one is raised.
      {"inside, estimated", {2, 0, 0}, kEstimate, 1, -3, 1, 0},
      {"inside", {2, 0, 0}, kExact, 1, 0, 1, 0},
      // Level with the start (no more than 1/1024 ahead) is never hit, though it overlaps.
      {"level", {1.0f / 1024, 0.5f, 0}, kExact, 0, 0, 0, 0},
      {"at the start", {0, 0.5f, 0}, kExact, 0, 0, 0, 0},
      {"just ahead of level", {1.0f / 512, 0.5f, 0}, kExact, 1, 0, 1, 0},
      // Reached only at the end: 25 - 5 is not below 20 (the box would reject it first).
      {"at the end", {25, 0, 0}, R3X_TEST_TOUCH | R3X_SWEEP_EXACT, 0, 0, 0, 0},
      {"at the end, estimated", {25, 0, 0}, R3X_TEST_TOUCH, 0, 0, 0, 0},
      {"just before the end", {24.5f, 0, 0}, kExact, 1, 19.5f, 1, 19.5f},
  };
  for (const PointCase& c : cases) {
    float time = -99.0f;
    EXPECT_EQ(_r3xSweepCirclePoint2D(&segment, c.point.data(), c.options, &time), c.hit2D)
        << c.name;
    if (c.hit2D != 0) {
      EXPECT_EQ(time, c.time2D) << c.name;
    }
    time = -99.0f;
    EXPECT_EQ(_r3xSweepSpherePoint(&segment, c.point.data(), c.options, &time), c.hit3D) << c.name;
    if (c.hit3D != 0) {
      EXPECT_EQ(time, c.time3D) << c.name;
    }
  }
}

TEST(SweepPoint, TheTimeIsLeftAloneWithoutAHit) {
  const R3xSweepSegment segment = makeSegment(Vec3{0, 0, 0}, Vec3{20, 0, 0}, 5.0f);
  const Vec3 behind{-3, 0, 0};
  float time = 123.0f;
  EXPECT_EQ(_r3xSweepSpherePoint(&segment, behind.data(), kExact, &time), 0);
  EXPECT_EQ(time, 123.0f);
}

TEST(SweepTouchesPoint, PointsThatTheEnlargedSphereMayReach) {
  const R3xSweepSegment segment = makeSegment(Vec3{0, 0, 0}, Vec3{10, 0, 0}, 1.0f);
  const struct {
    Vec3 point;
    std::int32_t expected;
  } cases[] = {
      {{5, 0.5f, 0}, 1},
      // Beyond the end but within the radius of it.
      {{10.5f, 0, 0}, 1},
      {{11, 0, 0}, 0},
      // Behind the start within the radius, which the swept vertex test would never hit.
      {{-0.5f, 0, 0}, 1},
      {{5, 1, 0}, 0},
      {{5, 0, -1}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(_r3xSweepTouchesPoint(&segment, c.point.data()), c.expected)
        << c.point.x << ", " << c.point.y << ", " << c.point.z;
  }
}

}  // namespace
