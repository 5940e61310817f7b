#include <gtest/gtest.h>

#include <cmath>

#include "engine/collide/sweep_edge_polygon.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/test_options.h"
#include "engine/r3x.h"
#include "test_shapes.h"

namespace {

constexpr std::uint32_t kAll = R3X_TEST_TOUCH | R3X_SWEEP_EXACT | R3X_TEST_CROSS | R3X_TEST_LEAVE |
                               R3X_TEST_LEAVE_TIME | R3X_TEST_BOX;
constexpr float kNone = -1.0f;

struct PolygonCase {
  const char* name;
  Vec3 start;
  Vec3 end;
  std::int32_t startsBehind;
  float touch;
  std::int32_t kind;
  // The touched edge's index, or for a corner the corner's; ignored for the face.
  int index;
  float cross;
};

// The square 0..4 at z = 0 facing +z, radius 1.
TEST(SweepSphereEdgePolygon, TouchesTheFaceAnEdgeOrACorner) {
  Polygon square({kSquare[0], kSquare[1], kSquare[2], kSquare[3]}, {0, 0, 1});
  const float past05 = 5.0f - std::sqrt(0.75f);
  const float pastCorner = 5.0f - std::sqrt(0.5f);
  const PolygonCase cases[] = {
      {"onto the face", {2, 2, 5}, {2, 2, -5}, 0, 4, R3X_OBSTACLE_EDGEPOLYGON, 0, 5},
      {"onto the face from behind", {2, 2, -5}, {2, 2, 5}, 1, 4, R3X_OBSTACLE_EDGEPOLYGON, 0, 5},
      {"ending within the radius",
       {2, 2, 5},
       {2, 2, 0.5f},
       0,
       4,
       R3X_OBSTACLE_EDGEPOLYGON,
       0,
       kNone},
      // An end within the radius but not by more than 1/1024 counts for nothing.
      {"ending just within the radius", {2, 2, 5}, {2, 2, 1 - 1.0f / 2048}, 0, kNone, 0, 0, kNone},
      // Through the plane outside the polygon, within the radius of edge 0 or of corner 0.
      {"past edge 0", {-0.5f, 2, 5}, {-0.5f, 2, -5}, 0, past05, R3X_OBSTACLE_XYZ_EDGE, 0, kNone},
      {"past corner 0",
       {-0.5f, -0.5f, 5},
       {-0.5f, -0.5f, -5},
       0,
       pastCorner,
       R3X_OBSTACLE_XYZ_VERTEX,
       0,
       kNone},
      {"past the polygon", {-2, 2, 5}, {-2, 2, -5}, 0, kNone, 0, 0, kNone},
      {"starting within the radius over the face",
       {2, 2, 0.5f},
       {2, 2, -3.5f},
       0,
       0,
       R3X_OBSTACLE_EDGEPOLYGON,
       0,
       0.5f},
      {"starting within the radius, moving away",
       {2, 2, 0.5f},
       {2, 2, 4.5f},
       0,
       kNone,
       0,
       0,
       kNone},
      // Sliding in the plane's slab beside edge 0 towards corner 0: edges 0 and 3 reach it at the
      // same time, and the first edge's report stays.
      {"sliding beside the polygon into a corner",
       {-0.5f, -3, 0.5f},
       {-0.5f, 7, 0.5f},
       0,
       3.0f - std::sqrt(0.5f),
       R3X_OBSTACLE_XYZ_VERTEX,
       0,
       kNone},
      // Meeting the plane exactly on edge 0 is not strictly inside: the edge is touched.
      {"onto edge 0", {0, 2, 5}, {0, 2, -5}, 0, 4, R3X_OBSTACLE_XYZ_EDGE, 0, 5},
  };
  for (const PolygonCase& c : cases) {
    SCOPED_TRACE(c.name);
    const R3xSweepSegment segment = makeSegment(c.start, c.end, 1.0f);
    R3xSweepResult result{};
    _r3xSweepSphereEdgePolygon(&segment, &square.record, kAll, &result);
    EXPECT_EQ(result.startsBehind, c.startsBehind);
    ASSERT_EQ(result.touch, c.touch != kNone ? 1 : 0);
    if (result.touch != 0) {
      EXPECT_NEAR(result.touchTime, c.touch, 1e-5f);
      EXPECT_EQ(result.featureKind, c.kind);
      const void* feature = &square.record;
      if (c.kind == R3X_OBSTACLE_XYZ_EDGE) {
        feature = &square.edges[c.index];
      } else if (c.kind == R3X_OBSTACLE_XYZ_VERTEX) {
        feature = square.corners[c.index];
      }
      EXPECT_EQ(result.feature, feature);
    }
    ASSERT_EQ(result.cross, c.cross != kNone ? 1 : 0);
    if (result.cross != 0) {
      EXPECT_NEAR(result.crossTime, c.cross, 1e-5f);
    }
  }
}

TEST(SweepSphereEdgePolygon, TheCrossingCountsOnlyInsideOrOnThePolygon) {
  Polygon square({kSquare[0], kSquare[1], kSquare[2], kSquare[3]}, {0, 0, 1});
  const struct {
    float x;
    std::int32_t cross;
  } cases[] = {{2, 1}, {0, 1}, {-1.0f / 8192, 1}, {-1.0f / 2048, 0}, {4.5f, 0}};
  for (const auto& c : cases) {
    const R3xSweepSegment segment = makeSegment(Vec3{c.x, 2, 5}, Vec3{c.x, 2, -5}, 1.0f);
    R3xSweepResult result{};
    _r3xSweepSphereEdgePolygon(&segment, &square.record, R3X_TEST_CROSS, &result);
    EXPECT_EQ(result.cross, c.cross) << c.x;
    EXPECT_EQ(result.touch, 0);
  }
}

}  // namespace
