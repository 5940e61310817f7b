#include "engine/collide/sweep_plane.h"

#include <gtest/gtest.h>

#include "engine/collide/sweep_result.h"
#include "engine/collide/test_options.h"
#include "engine/r3x.h"
#include "test_shapes.h"

namespace {

constexpr std::uint32_t kAll =
    R3X_TEST_TOUCH | R3X_TEST_CROSS | R3X_TEST_LEAVE | R3X_TEST_LEAVE_TIME | R3X_TEST_BOX;

// What a test should report. A time of -1 stands for "flag clear"; the results are preset with
// a leave time of -2, so -2 stands for "leave flag set, time not written".
struct Expected {
  std::int32_t startsBehind;
  float touch;
  float cross;
  float leave;
};

constexpr float kPresetLeaveTime = -2.0f;

struct PlaneCase {
  const char* name;
  float startZ;
  float endZ;
  std::uint32_t options;
  Expected expected;
};

void expectResult(const R3xSweepResult& result, const Expected& expected, const char* name) {
  EXPECT_EQ(result.startsBehind, expected.startsBehind) << name;
  EXPECT_EQ(result.touch, expected.touch >= 0 ? 1 : 0) << name;
  if (result.touch != 0) {
    EXPECT_FLOAT_EQ(result.touchTime, expected.touch) << name;
  }
  EXPECT_EQ(result.cross, expected.cross >= 0 ? 1 : 0) << name;
  if (result.cross != 0) {
    EXPECT_FLOAT_EQ(result.crossTime, expected.cross) << name;
  }
  EXPECT_EQ(result.leave, expected.leave != -1 ? 1 : 0) << name;
  if (result.leave != 0) {
    EXPECT_FLOAT_EQ(result.leaveTime, expected.leave) << name;
  }
}

// The plane z = 0 facing +z, and the same as the line y = 0 facing +y; radius 1, motions along
// the normal.
const PlaneCase kCases[] = {
    {"resting at the radius, moving away", 1, 5, kAll, {0, -1, -1, -1}},
    {"resting at the radius, moving towards", 1, -3, kAll, {0, 0, 1, 2}},
    {"from afar through", 5, -3, kAll, {0, 4, 5, 6}},
    {"from afar, stopping short", 5, 1, kAll, {0, -1, -1, -1}},
    {"from afar, ending within the radius", 4.5f, 0.5f, kAll, {0, 3.5f, -1, -1}},
    {"from behind through", -5, 3, kAll, {1, 4, 5, -1}},
    {"from behind, moving away", -5, -9, kAll, {1, -1, -1, -1}},
    {"within, through and out behind", 0.5f, -3.5f, kAll, {0, 0, 0.5f, 1.5f}},
    {"within, out behind, without the time",
     0.5f,
     -3.5f,
     kAll & ~R3X_TEST_LEAVE_TIME,
     {0, 0, 0.5f, -2}},
    {"already wholly behind", -2, -6, kAll, {1, -1, -1, -1}},
    {"from afar, ending just short of wholly behind", 4.5f, -0.5f, kAll, {0, 3.5f, 4.5f, -1}},
    {"through without cross", 5, -3, R3X_TEST_TOUCH, {0, 4, -1, -1}},
    {"through, cross only", 5, -3, R3X_TEST_CROSS, {0, -1, 5, -1}},
    // A start on the plane moving behind is mirrored as moving away, yet it leaves.
    {"on the plane moving behind", 0.0f, -4, kAll, {0, -1, -1, 1}},
    {"on the plane (-0) moving behind", -0.0f, -4, kAll, {0, -1, -1, 1}},
};

TEST(SweepSpherePlane, TouchCrossAndLeaveAlongTheNormal) {
  const R3xPlane plane{R3X_TYPE_PLANE, 0, 0, 1, 0};
  for (const PlaneCase& c : kCases) {
    const R3xSweepSegment segment = makeSegment(Vec3{7, 3, c.startZ}, Vec3{7, 3, c.endZ}, 1.0f);
    R3xSweepResult result{};
    result.leaveTime = kPresetLeaveTime;
    _r3xSweepSpherePlane(&segment, &plane, c.options, &result);
    expectResult(result, c.expected, c.name);
  }
}

TEST(SweepCircleLine2D, TheSameSchemeInXAndY) {
  XYEdge line(Vec3{4, 0, 0}, Vec3{0, 0, 0});  // y = 0, normal (0, 1)
  for (const PlaneCase& c : kCases) {
    const R3xSweepSegment segment = makeSegment(Vec3{7, c.startZ, 2}, Vec3{7, c.endZ, 2}, 1.0f);
    R3xSweepResult result{};
    result.leaveTime = kPresetLeaveTime;
    _r3xSweepCircleLine2D(&segment, &line.record, c.options, &result);
    expectResult(result, c.expected, c.name);
  }
}

}  // namespace
