#include <cmath>
#include <cstdint>
#include <vector>

#include "math_tables_fixture.h"

namespace {

using MathPlaneTest = MathTablesTest;

float planeSide(const float* normal, float distance, const float* point) {
  return r3xDot3(normal, point) + distance;
}

// A quad in the plane z = 5, its corners scattered through a larger vertex array.
struct IndexedQuad {
  std::vector<float> vertices = {9, 9, 9, 1, 0, 5, 0, 0, 5, 7, 7, 7, 0, 1, 5, 1, 1, 5};
  std::vector<std::int32_t> indexes = {2, 4, 1, 5};
  R3xIndexedPolygon polygon{52, 4, indexes.data(), vertices.data(), {0, 0, 0}, 0};
};

TEST_F(MathPlaneTest, IndexedPolygonPlaneFacesTheClockwiseSide) {
  IndexedQuad quad;
  // (0,0,5), (0,1,5), (1,0,5) run clockwise seen from above.
  EXPECT_EQ(r3xPlaneFromIndexedPolygon(&quad.polygon), R3X_DONE);
  EXPECT_EQ(quad.polygon.normal[0], 0.0f);
  EXPECT_EQ(quad.polygon.normal[1], 0.0f);
  EXPECT_EQ(quad.polygon.normal[2], 1.0f);
  EXPECT_EQ(quad.polygon.distance, -5.0f);

  quad.indexes = {4, 2, 1};
  quad.polygon.vertexIndexes = quad.indexes.data();
  quad.polygon.vertexCount = 3;
  EXPECT_EQ(r3xPlaneFromIndexedPolygon(&quad.polygon), R3X_DONE);
  EXPECT_EQ(quad.polygon.normal[2], -1.0f);
  EXPECT_EQ(quad.polygon.distance, 5.0f);
}

TEST_F(MathPlaneTest, IndexedPolygonPlaneHoldsEveryCornerOfASlantedFace) {
  const std::vector<float> vertices = {0, 0, 0, 2, 0, 1, 2, 3, 1, 0, 3, 0};
  std::vector<std::int32_t> indexes = {0, 1, 2, 3};
  R3xIndexedPolygon polygon{52,        4, indexes.data(), const_cast<float*>(vertices.data()),
                            {0, 0, 0}, 0};
  ASSERT_EQ(r3xPlaneFromIndexedPolygon(&polygon), R3X_DONE);
  EXPECT_NEAR(r3xDot3(polygon.normal, polygon.normal), 1.0f, 1e-6);
  for (std::size_t i = 0; i < vertices.size(); i += 3) {
    EXPECT_NEAR(planeSide(polygon.normal, polygon.distance, &vertices[i]), 0.0f, 1e-6) << i / 3;
  }
  const float above[3] = {0, 0, 10};
  EXPECT_LT(planeSide(polygon.normal, polygon.distance, above), 0.0f);
}

TEST_F(MathPlaneTest, TooFewCornersOrEdgesFailAndLeaveThePlane) {
  IndexedQuad quad;
  quad.polygon.vertexCount = 2;
  quad.polygon.distance = 3.0f;
  EXPECT_EQ(r3xPlaneFromIndexedPolygon(&quad.polygon), R3X_PLANE_TOO_FEW_CORNERS);
  EXPECT_EQ(quad.polygon.distance, 3.0f);

  float a[3] = {0, 0, 0};
  float b[3] = {1, 0, 0};
  R3xXYZEdge edges[2] = {{50, a, b, 1}, {50, b, a, 1}};
  R3xEdgePolygon polygon{51, 2, edges, {4, 4, 4}, 4, 0};
  EXPECT_EQ(r3xEdgePolygonPlane(&polygon), R3X_PLANE_TOO_FEW_CORNERS);
  EXPECT_EQ(polygon.normal[0], 4.0f);
  EXPECT_EQ(polygon.distance, 4.0f);
}

TEST_F(MathPlaneTest, EdgePolygonPlaneUsesTheFirstVerticesOfTheFirstThreeEdges) {
  // A wall x = 2 walked (y, z): (0,0), (0,4), (3,4), (3,0).
  float v[4][3] = {{2, 0, 0}, {2, 0, 4}, {2, 3, 4}, {2, 3, 0}};
  R3xXYZEdge edges[4];
  for (int i = 0; i < 4; ++i) {
    edges[i] = {50, v[i], v[(i + 1) % 4], 0};
  }
  R3xEdgePolygon polygon{51, 4, edges, {0, 0, 0}, 0, 0};
  // Corners (2,0,0), (2,0,4), (2,3,4): clockwise seen from +x.
  ASSERT_EQ(r3xEdgePolygonPlane(&polygon), R3X_DONE);
  EXPECT_NEAR(polygon.normal[0], 1.0f, 1e-7);
  EXPECT_EQ(polygon.normal[1], 0.0f);
  EXPECT_EQ(polygon.normal[2], 0.0f);
  EXPECT_NEAR(polygon.distance, -2.0f, 2e-7);
}

TEST_F(MathPlaneTest, CollinearCornersGiveAZeroNormalWithoutError) {
  const std::vector<float> vertices = {0, 0, 0, 1, 1, 1, 2, 2, 2};
  std::vector<std::int32_t> indexes = {0, 1, 2};
  R3xIndexedPolygon polygon{52,        3, indexes.data(), const_cast<float*>(vertices.data()),
                            {9, 9, 9}, 9};
  EXPECT_EQ(r3xPlaneFromIndexedPolygon(&polygon), R3X_DONE);
  EXPECT_EQ(polygon.normal[0], 0.0f);
  EXPECT_EQ(polygon.normal[1], 0.0f);
  EXPECT_EQ(polygon.normal[2], 0.0f);
  EXPECT_EQ(polygon.distance, 0.0f);
}

}  // namespace
