#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/collide/box_pretest.h"
#include "engine/collide/frames.h"
#include "engine/collide/point_in_polygon.h"
#include "engine/r3x.h"
#include "segment_maker.h"
#include "test_shapes.h"
#include "tests/engine_core/math_tables_fixture.h"

namespace {

struct InsideCase {
  Vec3 point;
  std::int32_t expected;
};

TEST(PointInEdgePolygon, InsideOnAnEdgeOrOutsideWithTheToleranceBand) {
  Polygon square({kSquare[0], kSquare[1], kSquare[2], kSquare[3]}, {0, 0, 1});
  const InsideCase cases[] = {
      {{2, 2, 0}, R3X_POINT_INSIDE},
      {{5, 2, 0}, R3X_POINT_OUTSIDE},
      {{2, -1, 0}, R3X_POINT_OUTSIDE},
      // On edge 0 (x = 0): the cross product is 4x there.
      {{0, 2, 0}, R3X_POINT_ON_EDGE},
      {{1.0f / 8192, 2, 0}, R3X_POINT_ON_EDGE},
      {{-1.0f / 8192, 2, 0}, R3X_POINT_ON_EDGE},
      // A cross product of exactly 1/1024 is no longer on the edge.
      {{1.0f / 4096, 2, 0}, R3X_POINT_INSIDE},
      {{-1.0f / 4096, 2, 0}, R3X_POINT_OUTSIDE},
      // On the edge's line: within 1/1024 of its length beyond the end, and farther.
      {{0, 4 + 1.0f / 512, 0}, R3X_POINT_ON_EDGE},
      {{0, 4 + 1.0f / 64, 0}, R3X_POINT_OUTSIDE},
      {{0, -1.0f / 64, 0}, R3X_POINT_OUTSIDE},
      // The corner itself.
      {{0, 0, 0}, R3X_POINT_ON_EDGE},
  };
  for (const InsideCase& c : cases) {
    EXPECT_EQ(_r3xPointInEdgePolygon(c.point.data(), &square.record), c.expected)
        << c.point.x << ", " << c.point.y;
  }
}

TEST(PointInEdgePolygon, EdgesRunBackwardsWhenTheNormalFacesTheNegativeAxis) {
  // The square's corners are counter-clockwise from +z: clockwise from -z, where it faces.
  Polygon down({kSquare[3], kSquare[2], kSquare[1], kSquare[0]}, {0, 0, -1});
  Polygon up({kSquare[3], kSquare[2], kSquare[1], kSquare[0]}, {0, 0, 1});
  const Vec3 centre{2, 2, 0};
  EXPECT_EQ(_r3xPointInEdgePolygon(centre.data(), &down.record), R3X_POINT_INSIDE);
  EXPECT_EQ(_r3xPointInEdgePolygon(centre.data(), &up.record), R3X_POINT_OUTSIDE);
}

TEST(PointInEdgePolygon, ProjectsAlongTheLargestNormalComponentWithTiesToZThenY) {
  // In the plane x + z = 0: projected onto x, y the point (2, 2, 10) off the plane falls inside,
  // projected onto y, z it falls outside.
  Polygon tilted({{0, 0, 0}, {0, 4, 0}, {4, 4, -4}, {4, 0, -4}}, {0.5f, 0, 0.5f});
  const Vec3 aboveInside{2, 2, 10};
  EXPECT_EQ(_r3xPointInEdgePolygon(aboveInside.data(), &tilted.record), R3X_POINT_INSIDE);
  // x dominant alone: projected onto y, z.
  Polygon steep({{0, 0, 0}, {0, 4, 0}, {4, 4, -4}, {4, 0, -4}}, {0.75f, 0, 0.5f});
  EXPECT_EQ(_r3xPointInEdgePolygon(aboveInside.data(), &steep.record), R3X_POINT_OUTSIDE);
  // |a| = |b| > |c| goes to y: the square in the plane x + y = 0, projected onto z, x.
  Polygon wall({{0, 0, 0}, {0, 0, 4}, {-4, 4, 4}, {-4, 4, 0}}, {0.5f, 0.5f, 0});
  const Vec3 beside{-2, 9, 2};
  EXPECT_EQ(_r3xPointInEdgePolygon(beside.data(), &wall.record), R3X_POINT_INSIDE);
}

TEST(PointInEdgePolygon, AnEdgeOfLengthZeroBoundsNothing) {
  Polygon repeated({kSquare[0], kSquare[1], kSquare[1], kSquare[2], kSquare[3]}, {0, 0, 1});
  const Vec3 far{10, 10, 0};
  const Vec3 inside{2, 2, 0};
  EXPECT_EQ(_r3xPointInEdgePolygon(far.data(), &repeated.record), R3X_POINT_OUTSIDE);
  EXPECT_EQ(_r3xPointInEdgePolygon(inside.data(), &repeated.record), R3X_POINT_INSIDE);
  // Without an edge that extends, as over a face of fewer than two corners, nothing is inside.
  Polygon empty({}, {0, 0, 1});
  Polygon point({kSquare[2]}, {0, 0, 1});
  for (const Polygon* p : {&empty, &point}) {
    EXPECT_EQ(_r3xPointInEdgePolygon(inside.data(), &p->record), R3X_POINT_OUTSIDE);
    EXPECT_EQ(_r3xPointInEdgePolygon(kSquare[2].data(), &p->record), R3X_POINT_OUTSIDE);
  }
}

using FramesTest = MathTablesTest;

void expectMatrix(const float* actual, const float* expected) {
  for (int i = 0; i < 9; ++i) {
    EXPECT_NEAR(actual[i], expected[i], 1e-6f) << "entry " << i;
  }
}

TEST_F(FramesTest, RotationFromAnglesIsTheTransposeOfTheObjectRotation) {
  const float angles[][3] = {{0, 0, 0},   {128, 0, 0},   {37, 0, 0},     {0, 100, 0},
                             {0, 0, 300}, {77, 411, 23}, {500, 256, 129}};
  for (const auto& a : angles) {
    R3xPlacement placement{1, 2, 3, a[0], a[1], a[2], 0};
    R3xActor actor{};
    r3xBuildObjectRotation(&actor, 1.0f, &placement);
    float matrix[9];
    float inverseScale = 0.0f;
    _r3xRotationFromAngles(&placement, 1.0f, matrix, &inverseScale);
    EXPECT_EQ(inverseScale, 1.0f);
    const float* r = actor.rotation;
    const float transpose[9] = {r[0], r[3], r[6], r[1], r[4], r[7], r[2], r[5], r[8]};
    expectMatrix(matrix, transpose);
  }
}

TEST_F(FramesTest, RotationFromAnglesDividesByAScaleOtherThanOne) {
  R3xPlacement placement{0, 0, 0, 128, 0, 0, 0};
  float matrix[9];
  float inverseScale = 0.0f;
  _r3xRotationFromAngles(&placement, 2.0f, matrix, &inverseScale);
  const float expected[9] = {0, -0.5f, 0, 0.5f, 0, 0, 0, 0, 0.5f};
  expectMatrix(matrix, expected);
  EXPECT_EQ(inverseScale, 0.5f);
  // A world point one unit ahead (heading 128 faces +y) is half a unit ahead in the frame.
  const float ahead[3] = {0, 1, 0};
  const float origin[3] = {0, 0, 0};
  float local[3];
  _r3xWorldToLocal(ahead, origin, matrix, local);
  EXPECT_NEAR(local[0], 0.5f, 1e-7f);
  EXPECT_NEAR(local[1], 0.0f, 1e-7f);
  EXPECT_NEAR(local[2], 0.0f, 1e-7f);
}

TEST_F(FramesTest, AnglesWrapIntoTheTableAndOutOfRangeAnglesStayDeterministic) {
  const struct {
    float angle;
    std::int32_t index;
  } cases[] = {
      {128.0f, 128},
      {512.0f + 128.0f, 128},
      {-384.0f, 128},
      {639.9f, 127},
      {-0.5f, 0},
      {-1.5f, 511},
      // Beyond the integer range every float is whole and wraps exactly.
      {2147483904.0f, 256},
      {-2147483904.0f, 256},
      {3e9f, 0},
      {1e30f, 0},
      {-1e30f, 0},
      {std::numeric_limits<float>::infinity(), 0},
      {-std::numeric_limits<float>::infinity(), 0},
      {std::numeric_limits<float>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(_r3xAngleIndex(c.angle), c.index) << c.angle;
  }
  R3xPlacement wrapped{0, 0, 0, 512.0f + 77.0f, -512.0f + 200.0f, 1024.0f + 5.0f, 0};
  R3xPlacement plain{0, 0, 0, 77.0f, 200.0f, 5.0f, 0};
  float a[9];
  float b[9];
  float inverseScale = 0.0f;
  _r3xRotationFromAngles(&wrapped, 1.0f, a, &inverseScale);
  _r3xRotationFromAngles(&plain, 1.0f, b, &inverseScale);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(a[i], b[i]);
  }
}

TEST_F(FramesTest, LocalToWorldTurnsScalesAndMoves) {
  R3xPlacement placement{0, 0, 0, 128, 0, 0, 0};
  R3xActor actor{};
  r3xBuildObjectRotation(&actor, 1.0f, &placement);
  const float point[3] = {1, 0, 2};
  const float origin[3] = {10, 20, 30};
  float out[3];
  _r3xLocalToWorld(point, origin, 3.0f, actor.rotation, out);
  EXPECT_NEAR(out[0], 10.0f, 1e-6f);
  EXPECT_NEAR(out[1], 23.0f, 1e-6f);
  EXPECT_NEAR(out[2], 36.0f, 1e-6f);
}

TEST_F(FramesTest, ActorOffsetOfZeroGivesThePositionWithoutRebuildingTheRotation) {
  R3xActor actor{};
  actor.placement = {10, 20, 30, 128, 0, 0, 0};
  actor.scale = 2.0f;
  actor.header.flags = R3X_FLAG_TRANSFORM_DIRTY;
  actor.rotation[0] = 42.0f;
  const float zero[3] = {0.0f, -0.0f, 0.0f};
  float out[3];
  _r3xActorOffsetToWorld(&actor, zero, out);
  EXPECT_EQ(out[0], 10.0f);
  EXPECT_EQ(out[1], 20.0f);
  EXPECT_EQ(out[2], 30.0f);
  EXPECT_EQ(actor.rotation[0], 42.0f);
  EXPECT_NE(actor.header.flags & R3X_FLAG_TRANSFORM_DIRTY, 0u);

  const float ahead[3] = {1, 0, 0.5f};
  _r3xActorOffsetToWorld(&actor, ahead, out);
  EXPECT_NEAR(out[0], 10.0f, 1e-6f);
  EXPECT_NEAR(out[1], 22.0f, 1e-6f);
  EXPECT_NEAR(out[2], 31.0f, 1e-6f);
  EXPECT_EQ(actor.header.flags & R3X_FLAG_TRANSFORM_DIRTY, 0u);
}

TEST_F(FramesTest, FrameToFrameCarriesPointsOfOneFrameIntoAnother) {
  // The first frame: rows of the rotation of heading 128, at (1, 2, 3), scale 3. The second:
  // the world-to-local matrix of heading 128 at (1, 0, 0), times 0.5.
  R3xPlacement turned{0, 0, 0, 128, 0, 0, 0};
  R3xActor actor{};
  r3xBuildObjectRotation(&actor, 1.0f, &turned);
  float toSecond[9];
  float inverseScale = 0.0f;
  _r3xRotationFromAngles(&turned, 1.0f, toSecond, &inverseScale);
  const float firstOrigin[3] = {1, 2, 3};
  const float secondOrigin[3] = {1, 0, 0};
  for (const float k : {0.5f, 1.0f}) {
    float matrix[9];
    float offset[3];
    _r3xFrameToFrame(actor.rotation, firstOrigin, 3.0f, toSecond, k, secondOrigin, matrix, offset);
    const float points[][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, -1, 0.5f}};
    for (const auto& c : points) {
      float world[3];
      _r3xLocalToWorld(c, firstOrigin, 3.0f, actor.rotation, world);
      float expected[3];
      _r3xWorldToLocal(world, secondOrigin, toSecond, expected);
      for (int i = 0; i < 3; ++i) {
        const float carried =
            matrix[i] * c[0] + matrix[3 + i] * c[1] + matrix[6 + i] * c[2] + offset[i];
        EXPECT_NEAR(carried, expected[i] * k, 1e-5f);
      }
    }
  }
}

TEST_F(FramesTest, SweepToLocalKeepsTheDirectionAUnitVectorAndScalesLengths) {
  const R3xSweepSegment world = makeSegment(Vec3{10, 0, 0}, Vec3{10, 4, 0}, 1.0f);
  R3xPlacement placement{10, 0, 0, 128, 0, 0, 0};
  float matrix[9];
  float inverseScale = 0.0f;
  _r3xRotationFromAngles(&placement, 2.0f, matrix, &inverseScale);
  const float origin[3] = {10, 0, 0};
  R3xSweepSegment local{};
  _r3xSweepToLocal(&world, origin, 2.0f, inverseScale, matrix, &local);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(local.start[i], 0.0f, 1e-6f);
    EXPECT_NEAR(local.end[i], i == 0 ? 2.0f : 0.0f, 1e-6f);
    EXPECT_NEAR(local.direction[i], i == 0 ? 1.0f : 0.0f, 1e-6f);
  }
  EXPECT_EQ(local.radius, 0.5f);
  EXPECT_EQ(local.distance, 2.0f);
}

struct BoxCase {
  Vec3 point;
  std::int32_t in2D;
  std::int32_t in3D;
};

TEST(BoxPretests, PointsStrictlyInsideTheMotionsBoxPass) {
  // x in (-1, 5), y and z in (-1, 1).
  const Vec3 start{0, 0, 0};
  const Vec3 end{4, 0, 0};
  const BoxCase cases[] = {
      {{4.5f, 0, 0}, 1, 1}, {{5, 0, 0}, 0, 0},    {{-1, 0, 0}, 0, 0},      {{2, 1, 0}, 0, 0},
      {{2, 0, -1}, 1, 0},   {{2, 0.5f, 7}, 1, 0}, {{2, 0.5f, 0.5f}, 1, 1},
  };
  for (const BoxCase& c : cases) {
    EXPECT_EQ(_r3xBoxOverlap2D(c.point.data(), start.data(), end.data(), 1.0f), c.in2D)
        << c.point.x << " " << c.point.y << " " << c.point.z;
    EXPECT_EQ(_r3xBoxOverlap3D(c.point.data(), start.data(), end.data(), 1.0f), c.in3D)
        << c.point.x << " " << c.point.y << " " << c.point.z;
  }
}

TEST(BoxPretests, EdgeBoxesMustOverlapTheMotionsBoxStrictly) {
  const R3xSweepSegment segment = makeSegment(Vec3{0, 0, 0}, Vec3{4, 0, 0}, 1.0f);
  const struct {
    Vec3 first;
    Vec3 second;
    std::int32_t expected;
  } cases[] = {
      {{2, 0.5f, -3}, {2, 0.5f, 3}, 1},    {{2, 1, 0}, {2, 3, 0}, 0}, {{-3, -3, 0}, {-1, -1, 0}, 0},
      {{-3, -3, 0}, {-0.5f, -0.5f, 0}, 1}, {{6, 0, 0}, {5, 0, 0}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(_r3xBoxOverlap3DB(&segment, segment.end, c.first.data(), c.second.data(), 1.0f),
              c.expected);
  }
}

}  // namespace
