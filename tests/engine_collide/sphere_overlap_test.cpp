#include "engine/collide/sphere_overlap.h"

#include <gtest/gtest.h>

#include "engine/r3x.h"
#include "test_shapes.h"

namespace {

struct Case {
  Vec3 centre;
  std::int32_t expected;
};

// Every case uses radius 1.
template <typename Geometry, typename Test>
void expectOverlaps(const Geometry* geometry, Test test, std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(test(c.centre.data(), 1.0f, geometry), c.expected)
        << "centre " << c.centre.x << ", " << c.centre.y << ", " << c.centre.z;
  }
}

TEST(SphereOverlap, PointsWithinTheRadiusStrictly) {
  const float point[3] = {0, 0, 0};
  expectOverlaps(point, _r3xCircleHitsPoint2D,
                 {{{1, 0, 5}, 0}, {{0.5f, 0.5f, 9}, 1}, {{0, -1, 0}, 0}, {{0, 0.875f, 0}, 1}});
  expectOverlaps(point, _r3xSphereHitsPoint,
                 {{{0, 0, 1}, 0}, {{0, 0.5f, 0.5f}, 1}, {{0.5f, 0.5f, 9}, 0}});
}

TEST(SphereOverlap, LinesAndPlanesWithinTheRadiusOnEitherSide) {
  XYEdge line(Vec3{4, 1, 0}, Vec3{0, 1, 0});  // y = 1, normal (0, 1)
  expectOverlaps(&line.record, _r3xCircleHitsLine2D,
                 {{{0, 0, 0}, 0}, {{7, 0.5f, 3}, 1}, {{0, 1.5f, 0}, 1}, {{0, 2, 0}, 0}});
  const R3xPlane plane{R3X_TYPE_PLANE, 0, 0, 1, -2};
  expectOverlaps(&plane, _r3xSphereHitsPlane,
                 {{{0, 0, 1}, 0}, {{0, 0, 1.5f}, 1}, {{0, 0, 2.5f}, 1}, {{0, 0, 3}, 0}});
  R3xRegionFace face{};
  face.polygon.normal[2] = 1.0f;
  face.polygon.distance = -2.0f;
  expectOverlaps(&face, _r3xSphereHitsFacePlane, {{{9, 9, 2.5f}, 1}, {{9, 9, 3}, 0}});
}

TEST(SphereOverlap, XYEdgesTestTheirEndVerticesBeyondTheirEnds) {
  XYEdge edge(Vec3{0.5f, 2, 0}, Vec3{0.5f, 4, 0});  // x = 0.5, running along +y
  expectOverlaps(&edge.record, _r3xCircleHitsEdge2D,
                 {{{0, 0, 0}, 0},
                  {{0, 1.5f, 0}, 1},
                  {{0, 3, 7}, 1},
                  {{0, 4.5f, 0}, 1},
                  {{0, 5, 0}, 0},
                  {{1.5f, 3, 0}, 0}});
}

TEST(SphereOverlap, XYZEdgesBetweenAndBeyondTheirEnds) {
  Edge edge(Vec3{0, 0, 0}, Vec3{4, 0, 0});
  expectOverlaps(&edge.record, _r3xSphereHitsEdge,
                 {{{2, 1, 0}, 0},
                  {{2, 0.5f, 0.5f}, 1},
                  {{-0.5f, 0.5f, 0}, 1},
                  {{-1, 0, 0}, 0},
                  {{4.5f, 0, 0.5f}, 1},
                  {{5, 0, 0}, 0},
                  {{-0.75f, 0.75f, 0}, 0}});
}

// Lines and edges through one point stop nothing: not even a sphere centred on the point, nor
// one far away (the zero normal puts every centre on the line).
TEST(SphereOverlap, LinesAndEdgesOfLengthZeroOverlapNothing) {
  const std::initializer_list<Case> centres = {
      {{1, 1, 0}, 0}, {{0.5f, 0.5f, 0}, 0}, {{1, 1.875f, 0}, 0}, {{50, 50, 0}, 0}};
  PointXYEdge flat(Vec3{1, 1, 0});
  for (const auto test : {_r3xCircleHitsLine2D, _r3xCircleHitsEdge2D}) {
    expectOverlaps(&flat.record, test, centres);
  }
  Edge point(Vec3{1, 1, 0}, Vec3{1, 1, 0});
  expectOverlaps(&point.record, _r3xSphereHitsEdge, centres);
}

TEST(SphereOverlap, APolygonEdgeOfLengthZeroIsItsVertex) {
  Polygon repeated({kSquare[0], kSquare[0], kSquare[1], kSquare[2], kSquare[3]}, {0, 0, 1});
  expectOverlaps(&repeated.record, _r3xSphereHitsEdgePolygon,
                 {{{-0.5f, -0.5f, 0.5f}, 1}, {{-0.75f, -0.75f, 0}, 0}});
}

TEST(SphereOverlap, EdgePolygonsByTheirFaceEdgesAndCorners) {
  Polygon square({kSquare[0], kSquare[1], kSquare[2], kSquare[3]}, {0, 0, 1});
  expectOverlaps(&square.record, _r3xSphereHitsEdgePolygon,
                 {{{2, 2, 0.5f}, 1},
                  {{2, 2, -0.5f}, 1},
                  {{2, 2, 1}, 0},
                  // Beside edge 0 (x = 0), within the radius of it.
                  {{-0.5f, 2, 0.5f}, 1},
                  {{-1, 2, 0}, 0},
                  // Beside the corner (0, 0, 0).
                  {{-0.5f, -0.5f, 0.5f}, 1},
                  {{-0.75f, -0.75f, 0}, 0},
                  {{5.5f, 2, 0}, 0}});
}

}  // namespace
