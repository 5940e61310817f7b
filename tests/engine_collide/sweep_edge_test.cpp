#include "engine/collide/sweep_edge.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

#include "engine/collide/sweep_plane.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/test_options.h"
#include "engine/r3x.h"
#include "test_shapes.h"

namespace {

constexpr std::uint32_t kAll = R3X_TEST_TOUCH | R3X_SWEEP_EXACT | R3X_TEST_CROSS | R3X_TEST_LEAVE |
                               R3X_TEST_LEAVE_TIME | R3X_TEST_BOX;
constexpr std::uint32_t kEstimate = kAll & ~R3X_SWEEP_EXACT;
constexpr float kNone = -1.0f;
// 5 - sqrt(0.75) and 5 - sqrt(0.5): a sphere of radius 1 passing 0.5 and sqrt(0.5) from a point.
const float kPast05 = 5.0f - std::sqrt(0.75f);
const float kPastCorner = 5.0f - std::sqrt(0.5f);

enum class Feature { kEdge, kFirst, kSecond };

struct EdgeCase {
  const char* name;
  Vec3 start;
  Vec3 end;
  float radius;
  std::uint32_t options;
  std::int32_t startsBehind;
  float touch;
  Feature feature;
  float cross;
};

const void* featureOf(Feature feature, const void* edge, const float* first, const float* second) {
  switch (feature) {
    case Feature::kFirst:
      return first;
    case Feature::kSecond:
      return second;
    case Feature::kEdge:
      break;
  }
  return edge;
}

// Sweeps every case against the edge: the touch, its time and feature; a flat edge also the side
// the motion starts on and the crossing, which a 3D edge never reports.
template <typename EdgeShape, typename Record, std::size_t N>
void checkEdgeCases(const EdgeCase (&cases)[N], const EdgeShape& edge,
                    void (*sweep)(const R3xSweepSegment*, const Record*, std::uint32_t,
                                  R3xSweepResult*),
                    std::int32_t edgeKind, std::int32_t vertexKind, bool flat) {
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const R3xSweepSegment segment = makeSegment(c.start, c.end, c.radius);
    R3xSweepResult result{};
    sweep(&segment, &edge.record, c.options, &result);
    if (flat) {
      EXPECT_EQ(result.startsBehind, c.startsBehind);
    }
    ASSERT_EQ(result.touch, c.touch != kNone ? 1 : 0);
    if (result.touch != 0) {
      EXPECT_NEAR(result.touchTime, c.touch, 1e-5f);
      EXPECT_EQ(result.featureKind, c.feature == Feature::kEdge ? edgeKind : vertexKind);
      EXPECT_EQ(result.feature, featureOf(c.feature, &edge.record, edge.a, edge.b));
    }
    if (!flat) {
      EXPECT_EQ(result.cross, 0);
      continue;
    }
    ASSERT_EQ(result.cross, c.cross != kNone ? 1 : 0);
    if (result.cross != 0) {
      EXPECT_NEAR(result.crossTime, c.cross, 1e-5f);
    }
  }
}

// The XY edge from (0, 0) to (0, 4), facing +x.
TEST(SweepCircleEdge2D, TouchesTheEdgeOrTheEndVertexMetFirst) {
  XYEdge edge(Vec3{0, 0, 0}, Vec3{0, 4, 0});
  const EdgeCase cases[] = {
      {"towards the middle", {5, 2, 0}, {-5, 2, 0}, 1, kAll, 0, 4, Feature::kEdge, 5},
      {"from behind", {-5, 2, 0}, {5, 2, 0}, 1, kAll, 1, 4, Feature::kEdge, 5},
      {"beside the second end",
       {5, 4.5f, 0},
       {-5, 4.5f, 0},
       1,
       kAll,
       0,
       kPast05,
       Feature::kSecond,
       kNone},
      {"past the end by the radius",
       {5, 5, 0},
       {-5, 5, 0},
       1,
       kAll,
       0,
       kNone,
       Feature::kEdge,
       kNone},
      {"within the radius beside the first end",
       {0.5f, -0.5f, 0},
       {-9.5f, -0.5f, 0},
       1,
       kAll,
       0,
       0,
       Feature::kFirst,
       kNone},
      {"within the radius, moving away",
       {0.5f, 2, 0},
       {5.5f, 2, 0},
       1,
       kAll,
       0,
       kNone,
       Feature::kEdge,
       kNone},
      // Sliding parallel at 3 with radius 5: the end vertex ahead is met 4 before it.
      {"sliding to the far end from beyond it",
       {3, 14, 0},
       {3, -10, 0},
       5,
       kAll,
       0,
       6,
       Feature::kSecond,
       kNone},
      {"sliding to the far end, estimated",
       {3, 14, 0},
       {3, -10, 0},
       5,
       kEstimate,
       0,
       5,
       Feature::kSecond,
       kNone},
      {"sliding to the first end from before it",
       {3, -10, 0},
       {3, 14, 0},
       5,
       kAll,
       0,
       6,
       Feature::kFirst,
       kNone},
      {"sliding away beyond the end",
       {3, 10, 0},
       {3, 20, 0},
       5,
       kAll,
       0,
       kNone,
       Feature::kEdge,
       kNone},
  };
  checkEdgeCases(cases, edge, _r3xSweepCircleEdge2D, R3X_OBSTACLE_XY_EDGE, R3X_OBSTACLE_XY_VERTEX,
                 true);
}

// Lines and edges through one point stop nothing, however the sphere passes the point: the
// result comes back with every flag clear.
TEST(SweepEdges, LinesAndEdgesOfLengthZeroAreNeverTouched) {
  PointXYEdge flat(Vec3{5, 0, 0});
  Edge point(Vec3{5, 0, 0}, Vec3{5, 0, 0});
  const struct {
    const char* name;
    Vec3 start;
    Vec3 end;
  } paths[] = {
      {"passing 0.5 from it", {0, 0.5f, 0}, {10, 0.5f, 0}},
      {"through it", {0, 0, 0}, {10, 0, 0}},
      {"starting on it", {5, 0, 0}, {5, 10, 0}},
      {"ending on it", {5, 10, 0}, {5, 0, 0}},
  };
  for (const auto& path : paths) {
    const R3xSweepSegment segment = makeSegment(path.start, path.end, 1.0f);
    for (const std::uint32_t options : {kAll, kEstimate}) {
      R3xSweepResult results[3];
      for (R3xSweepResult& result : results) {
        result = {1, 1, 0.0f, 1, 0.0f, 1, 0.0f, 0, nullptr};
      }
      _r3xSweepCircleLine2D(&segment, &flat.record, options, &results[0]);
      _r3xSweepCircleEdge2D(&segment, &flat.record, options, &results[1]);
      _r3xSweepSphereEdge(&segment, &point.record, options, &results[2]);
      for (const R3xSweepResult& result : results) {
        EXPECT_EQ(result.touch, 0) << path.name;
        EXPECT_EQ(result.cross, 0) << path.name;
        EXPECT_EQ(result.leave, 0) << path.name;
        EXPECT_EQ(result.startsBehind, 0) << path.name;
      }
    }
  }
}

// The edge from (0, 0, 0) to (4, 0, 0).
TEST(SweepSphereEdge, TouchesTheEdgeOrTheEndVertexMetFirst) {
  Edge edge(Vec3{0, 0, 0}, Vec3{4, 0, 0});
  const EdgeCase cases[] = {
      {"across the middle", {2, 5, 0}, {2, -5, 0}, 1, kAll, 0, 4, Feature::kEdge, kNone},
      {"across, passing 0.5 from it",
       {2, 5, 0.5f},
       {2, -5, 0.5f},
       1,
       kAll,
       0,
       kPast05,
       Feature::kEdge,
       kNone},
      {"across, passing the radius from it",
       {2, 5, 1},
       {2, -5, 1},
       1,
       kAll,
       0,
       kNone,
       Feature::kEdge,
       kNone},
      {"across beyond the second end",
       {4.5f, 5, 0},
       {4.5f, -5, 0},
       1,
       kAll,
       0,
       kPast05,
       Feature::kSecond,
       kNone},
      {"across before the first end",
       {-0.5f, 5, 0},
       {-0.5f, -5, 0},
       1,
       kAll,
       0,
       kPast05,
       Feature::kFirst,
       kNone},
      {"slanted onto the middle", {2, 3, 4}, {2, -3, -4}, 1, kAll, 0, 4, Feature::kEdge, kNone},
      // Moving along the edge's direction 3 from it with radius 5.
      {"along it from before", {-10, 3, 0}, {10, 3, 0}, 5, kAll, 0, 6, Feature::kFirst, kNone},
      {"along it from before, estimated",
       {-10, 3, 0},
       {10, 3, 0},
       5,
       kEstimate,
       0,
       5,
       Feature::kFirst,
       kNone},
      {"along it from beyond", {14, 3, 0}, {-10, 3, 0}, 5, kAll, 0, 6, Feature::kSecond, kNone},
      {"along it, away", {6, 3, 0}, {16, 3, 0}, 5, kAll, 0, kNone, Feature::kEdge, kNone},
      {"overlapping the first end, leaving",
       {-0.5f, 0.5f, 0},
       {-0.5f, 10, 0},
       1,
       kAll,
       0,
       kNone,
       Feature::kEdge,
       kNone},
  };
  checkEdgeCases(cases, edge, _r3xSweepSphereEdge, R3X_OBSTACLE_XYZ_EDGE, R3X_OBSTACLE_XYZ_VERTEX,
                 false);
}

TEST(SweepSphereEdge, ANearlyParallelApproachHasNoContactWithinTheMotion) {
  Edge edge(Vec3{0, 0, 0}, Vec3{100, 0, 0});
  // 2 above the edge, sinking by 2^-20 over a motion of 50: the line is reached far beyond it.
  R3xSweepSegment segment = makeSegment(Vec3{10, 0, 2}, Vec3{60, 0, 2 - 1.0f / 1048576}, 1.0f);
  R3xSweepResult result{};
  _r3xSweepSphereEdge(&segment, &edge.record, kAll, &result);
  EXPECT_EQ(result.touch, 0);
  // Moving exactly parallel, nothing either.
  segment = makeSegment(Vec3{10, 0, 2}, Vec3{60, 0, 2}, 1.0f);
  _r3xSweepSphereEdge(&segment, &edge.record, kAll, &result);
  EXPECT_EQ(result.touch, 0);
}

}  // namespace
