#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/math_plane.h"
#include "engine/core/memory.h"
#include "engine/world/region_work.h"
#include "region_fixture.h"
#include "world_fixture.h"

namespace world_test {
namespace {

// Region 3 of a block of 5, with the floor (vertices 1 2 3 4, normal -z) as face 1 and the
// wall y = 0 (1 2 5, normal +y) as face 2, ready for obstacles.
class ObstacleActions : public RegionFixture {
 public:
  ObstacleActions() {
    BeginBlock(5);
    EXPECT_EQ(SimpleRegion("one"), 0);
    EXPECT_EQ(SimpleRegion("two"), 0);
    BeginRegion("three");
    Walls({{1, 2, 3, 4}, {1, 2, 5}});
    EXPECT_EQ(parBeginObstacles(context_, 8, 0), 0);
    TakeMessages();
  }

  const R3xObstacle& Last() const {
    const R3xParseList& list = context_->regionWork->obstacles;
    return static_cast<const R3xObstacle*>(list.data)[list.count - 1];
  }

  const float* Vertex(std::uint32_t number) const { return world_->vertices + 3 * (number - 1); }
};

TEST_F(ObstacleActions, XYLinesAndEdgesTakeTheirNormalFromTheVertices) {
  ASSERT_EQ(Obstacle(R3X_OBSTACLE_XY_LINE, {1, 2}), 0);
  const auto* line = static_cast<const R3xXYLine*>(Last().geometry);
  EXPECT_EQ(line->type, R3X_TYPE_XY_LINE);
  EXPECT_EQ(line->nx, 0);
  EXPECT_EQ(line->ny, -1);
  EXPECT_EQ(line->offset, 0);
  EXPECT_EQ(line->length, 4);
  EXPECT_EQ(line->first, Vertex(1));
  EXPECT_EQ(line->second, Vertex(2));

  ASSERT_EQ(Obstacle(R3X_OBSTACLE_XY_EDGE, {1, 6}), 0);
  const auto* edge = static_cast<const R3xXYLine*>(Last().geometry);
  EXPECT_EQ(edge->type, R3X_TYPE_XY_EDGE);
  EXPECT_EQ(edge->nx, 1);
  EXPECT_EQ(edge->ny, 0);
  EXPECT_EQ(edge->offset, 0);
  EXPECT_EQ(edge->length, 2);

  ASSERT_EQ(Obstacle(R3X_OBSTACLE_XYZ_EDGE, {2, 5}), 0);
  const auto* spatial = static_cast<const R3xXYZEdge*>(Last().geometry);
  EXPECT_EQ(spatial->type, R3X_TYPE_XYZ_EDGE);
  EXPECT_NEAR(spatial->length, 5.656854f, 1e-4);
  EXPECT_EQ(spatial->second, Vertex(5));
}

// Stored worlds hold lines and edges whose vertices meet (in x and y, or in space): they load,
// a line or XY edge with the reciprocal length 1, so its normal is (0, 0) and nothing is NaN.
TEST_F(ObstacleActions, LinesAndEdgesOfZeroLengthLoad) {
  struct Case {
    const char* name;
    std::int32_t kind;
    std::int32_t first, second;
  } cases[] = {{"PointLine", R3X_OBSTACLE_XY_LINE, 1, 7},
               {"VerticalXYEdge", R3X_OBSTACLE_XY_EDGE, 1, 5},
               {"PointXYEdge", R3X_OBSTACLE_XY_EDGE, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Obstacle(c.kind, {c.first, c.second}), 0) << ::testing::PrintToString(TakeMessages());
    const auto* line = static_cast<const R3xXYLine*>(Last().geometry);
    EXPECT_EQ(line->nx, 0);
    EXPECT_EQ(line->ny, 0);
    EXPECT_EQ(line->offset, 0);
    EXPECT_EQ(line->length, 0);
    EXPECT_EQ(line->first, Vertex(c.first));
    EXPECT_EQ(line->second, Vertex(c.second));
  }
  ASSERT_EQ(Obstacle(R3X_OBSTACLE_XYZ_EDGE, {1, 7}), 0);
  const auto* edge = static_cast<const R3xXYZEdge*>(Last().geometry);
  EXPECT_EQ(edge->type, R3X_TYPE_XYZ_EDGE);
  EXPECT_EQ(edge->length, 0);
  EXPECT_EQ(edge->second, Vertex(7));
}

TEST_F(ObstacleActions, VerticesAndNeighbours) {
  ASSERT_EQ(Obstacle(R3X_OBSTACLE_XY_VERTEX, {3}, 0), 0);
  EXPECT_EQ(Last().type, R3X_TYPE_OBSTACLE);
  EXPECT_EQ(Last().kind, R3X_OBSTACLE_XY_VERTEX);
  EXPECT_EQ(Last().geometry, Vertex(3));
  EXPECT_EQ(Last().neighbour, 2);
  EXPECT_EQ(Last().neighbourGiven, 0);
  ASSERT_EQ(Obstacle(R3X_OBSTACLE_XYZ_VERTEX, {4}, 5), 0);
  EXPECT_EQ(Last().neighbour, 4);
  EXPECT_EQ(Last().neighbourGiven, -1);
}

TEST_F(ObstacleActions, FlagsAndUserDataComeFromTheStatement) {
  R3xParsedObstacle parsed{};
  parsed.kind = R3X_OBSTACLE_XY_VERTEX;
  parsed.cutting = 1;
  parsed.floor = 1;
  parsed.userData = Text("tag");
  parListInit(&parsed.numbers, sizeof(std::int32_t), 1);
  const std::int32_t one = 1;
  parListAppend(&parsed.numbers, &one);
  ASSERT_EQ(parAddObstacle(context_, &parsed), 0);
  EXPECT_EQ(Last().flags, R3X_OBSTACLE_FLOOR | R3X_OBSTACLE_CUTTING);
  EXPECT_STREQ(static_cast<const char*>(Last().userData), "tag");
}

TEST_F(ObstacleActions, PlanesAndEdgeWallsCopyTheirFace) {
  ASSERT_EQ(Obstacle(R3X_OBSTACLE_PLANE, {1}), 0);
  const auto* plane = static_cast<const R3xPlane*>(Last().geometry);
  EXPECT_EQ(plane->type, R3X_TYPE_PLANE);
  EXPECT_NEAR(plane->c, -1, 1e-6);

  ASSERT_EQ(Obstacle(R3X_OBSTACLE_EDGEWALL, {2}), 0);
  EXPECT_EQ(Last().kind, R3X_OBSTACLE_EDGEPOLYGON);
  const auto* polygon = static_cast<const R3xEdgePolygon*>(Last().geometry);
  EXPECT_EQ(polygon->type, R3X_TYPE_EDGE_POLYGON);
  ASSERT_EQ(polygon->edgeCount, 3);
  EXPECT_EQ(polygon->edges[2].first, Vertex(5));
  EXPECT_EQ(polygon->edges[2].second, Vertex(1));
  EXPECT_EQ(polygon->edges[2].length, 4);
  EXPECT_NEAR(polygon->normal[1], 1, 1e-6);
  EXPECT_EQ(polygon->axisCode, R3X_AXIS_CODE_Y);
}

TEST_F(ObstacleActions, EdgePolygonsComputeOrKeepTheirPlane) {
  ASSERT_EQ(Obstacle(R3X_OBSTACLE_EDGEPOLYGON, {1, 2, 3, 4}), 0);
  const auto* computed = static_cast<const R3xEdgePolygon*>(Last().geometry);
  ASSERT_EQ(computed->edgeCount, 4);
  EXPECT_EQ(computed->edges[3].second, Vertex(1));
  EXPECT_NEAR(computed->normal[2], -1, 1e-6);
  EXPECT_EQ(computed->axisCode, R3X_AXIS_CODE_Z);
}

struct AxisCase {
  float a, b, c;
  std::int32_t code;
};

class EdgePolygonAxis : public RegionFixture {};

TEST_F(EdgePolygonAxis, LargestNormalComponentNamesTheAxis) {
  const AxisCase cases[] = {{0, 0, 1, R3X_AXIS_CODE_Z},
                            {1, 1, 0, R3X_AXIS_CODE_X},
                            {0, 1, 1, R3X_AXIS_CODE_Y},
                            {0.2f, -0.9f, 0.1f, R3X_AXIS_CODE_Y}};
  float vertices[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  R3xParseList indexes{};
  parListInit(&indexes, sizeof(std::int32_t), 3);
  for (std::int32_t i = 0; i < 3; ++i) {
    parListAppend(&indexes, &i);
  }
  for (const AxisCase& axis : cases) {
    R3xEdgePolygon polygon{};
    const float plane[4] = {axis.a, axis.b, axis.c, 2};
    ASSERT_EQ(CreateEdgePolygon(nullptr, &polygon, &indexes, vertices, 3, plane), 0);
    EXPECT_EQ(polygon.axisCode, axis.code) << axis.a << " " << axis.b << " " << axis.c;
    EXPECT_EQ(polygon.distance, 2);
    EXPECT_EQ(polygon.edges[1].first, vertices + 3);
    r3xFree(polygon.edges);
  }
  parListFree(&indexes);
}

TEST_F(EdgePolygonAxis, PolyhedronFaceIndexesMustLieInTheVertexList) {
  float vertices[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  R3xParseList indexes{};
  parListInit(&indexes, sizeof(std::int32_t), 3);
  for (std::int32_t i : {0, 1, 3}) {
    parListAppend(&indexes, &i);
  }
  R3xEdgePolygon polygon{};
  EXPECT_EQ(CreateEdgePolygon(nullptr, &polygon, &indexes, vertices, 3, nullptr), 1);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"CreateEdgePolygon: index out of range"});
  parListFree(&indexes);
}

struct ObstacleCase {
  const char* name;
  std::int32_t kind;
  std::vector<std::int32_t> numbers;
  std::int32_t nextRegion;
  std::int32_t regionField;
  const char* message;
};

void PrintTo(const ObstacleCase& c, std::ostream* out) { *out << c.name; }

class ObstacleErrors : public ObstacleActions,
                       public ::testing::WithParamInterface<ObstacleCase> {};

TEST_P(ObstacleErrors, ReportsTheFaultAndKeepsTheRecord) {
  const ObstacleCase& c = GetParam();
  R3xParsedObstacle parsed{};
  parsed.kind = c.kind;
  parsed.regionField = c.regionField;
  parsed.nextRegion = c.nextRegion;
  parListInit(&parsed.numbers, sizeof(std::int32_t), 0);
  for (std::int32_t number : c.numbers) {
    parListAppend(&parsed.numbers, &number);
  }
  parsed.declaredVertices = static_cast<std::int32_t>(c.numbers.size());
  EXPECT_EQ(parAddObstacle(context_, &parsed), 1);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{c.message});
}

const ObstacleCase kObstacleCases[] = {
    {"OtherRegion", R3X_OBSTACLE_XY_VERTEX, {5}, 0, 1, "other regions no longer supported"},
    {"NextRegionBeyondTheBlock", R3X_OBSTACLE_XY_VERTEX, {1}, 6, 0, "NEXTREGION 6 is out of range"},
    {"NegativeNextRegion", R3X_OBSTACLE_XY_VERTEX, {1}, -1, 0, "NEXTREGION -1 is out of range"},
    {"VertexBeyondTheWorld",
     R3X_OBSTACLE_XYZ_VERTEX,
     {9},
     0,
     0,
     "obstacle vertex 9 is out of range"},
    {"VertexZero", R3X_OBSTACLE_XY_LINE, {1, 0}, 0, 0, "obstacle vertex 0 is out of range"},
    {"FaceBeyondTheRegion", R3X_OBSTACLE_PLANE, {3}, 0, 0, "obstacle face 3 is out of range"},
    {"EdgeWallFaceZero", R3X_OBSTACLE_EDGEWALL, {0}, 0, 0, "obstacle face 0 is out of range"},
    {"TwoCornerPolygon",
     R3X_OBSTACLE_EDGEPOLYGON,
     {1, 2},
     0,
     0,
     "invalid number of vertices in polygon"},
    {"PolygonVertexOutOfRange",
     R3X_OBSTACLE_EDGEPOLYGON,
     {1, 2, 12},
     0,
     0,
     "obstacle vertex 12 is out of range"},
    {"ExtraNumbers", R3X_OBSTACLE_XY_VERTEX, {1, 2}, 0, 0, "parser: Syntax error"},
    {"UnknownKind", 3, {1}, 0, 0, "bad obstacle type"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ObstacleErrors, ::testing::ValuesIn(kObstacleCases),
                         [](const ::testing::TestParamInfo<ObstacleCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(RegionFixture, ObstacleOutsideARegionHasNoRegionToJoin) {
  EXPECT_EQ(Obstacle(R3X_OBSTACLE_XY_VERTEX, {1}), 1);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"no current region"});
}

TEST_F(ObstacleActions, EdgePolygonCountMustMatchItsList) {
  R3xParsedObstacle parsed{};
  parsed.kind = R3X_OBSTACLE_EDGEPOLYGON;
  parsed.declaredVertices = 4;
  parListInit(&parsed.numbers, sizeof(std::int32_t), 0);
  for (std::int32_t number : {1, 2, 3}) {
    parListAppend(&parsed.numbers, &number);
  }
  EXPECT_EQ(parAddObstacle(context_, &parsed), 1);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"NUMVERTICES is invalid"});
}

}  // namespace
}  // namespace world_test
