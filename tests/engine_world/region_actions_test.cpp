#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/core/bsp.h"
#include "engine/core/light.h"
#include "engine/core/region_internal.h"
#include "engine/core/tag_dictionary.h"
#include "engine/world/region_geometry.h"
#include "region_fixture.h"
#include "world_fixture.h"

namespace world_test {
namespace {

using RegionActions = RegionFixture;

const float kNoPlane[4] = {0, 0, 0, 0};

TEST_F(RegionActions, RegionBuildsItsGeometryCollisionInfoAndVisibility) {
  const float level = 0.5f;
  ASSERT_NE(r3xCreateLightDef(world_, "amb", 1, &level, 0, 0, 0), nullptr);
  BeginBlock(2);
  ASSERT_EQ(parBeginRegion(context_, R3X_TYPE_REGION_INFO_B, Text("room")), 0);
  ASSERT_NE(parCurrentRegion(context_), nullptr);
  EXPECT_EQ(context_->currentRegionNumber, 1);
  ASSERT_EQ(parSetRegionAmbientLight(context_, Text("amb")), 0);
  ASSERT_EQ(parBeginProximalRegions(context_, 1), 0);
  ASSERT_EQ(parAddProximalRegion(context_, 2, 7.5f), 0);
  ASSERT_EQ(parEndProximalRegions(context_), 0);
  ASSERT_EQ(parSetRenderVertexCount(context_, 8), 0);
  ASSERT_EQ(parBeginWalls(context_, 2), 0);
  const float given[4] = {0, 0, 1, -5};
  R3xSurface floor = Surface(7);
  ASSERT_EQ(parAddWall(context_, 1, given, Ints({1, 2, 3, 4}), &floor), 0);
  R3xSurface side = Surface(9);
  ASSERT_EQ(parAddWall(context_, 0, kNoPlane, Ints({1, 2, 5}), &side), 0);
  ASSERT_EQ(parEndWalls(context_), 0);
  ASSERT_EQ(parBeginObstacles(context_, 1, 1), 0);
  ASSERT_EQ(Obstacle(R3X_OBSTACLE_PLANE, {2}), 0);
  ASSERT_EQ(parEndObstacles(context_), 0);
  ASSERT_EQ(parBeginVisTree(context_, 2, 1), 0);
  // Node 1 names node 2 before it exists.
  ASSERT_EQ(parAddVisNode(context_, given, 1, 2, 0), 0);
  ASSERT_EQ(parAddVisNode(context_, kNoPlane, 0, 0, 3), 0);
  ASSERT_EQ(parAddVisibleList(context_, 2, Ints({2, 1})), 0);
  ASSERT_EQ(parEndVisTree(context_), 0);
  R3xRegionTail tail{};
  tail.regionFog = 1;
  tail.sphereGiven = 1;
  tail.sphere[0] = 1;
  tail.sphere[3] = 6;
  tail.userData = Text("data");
  ASSERT_EQ(parEndRegion(context_, &tail), 0);
  EXPECT_EQ(parCurrentRegion(context_), nullptr);

  R3xRegion* region = r3xGetRegion(world_, 0);
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(r3xFindTag(world_, "room"), &region->header);
  EXPECT_EQ(region->vertexCount, 0u);
  EXPECT_EQ(region->vertices, world_->vertices);
  EXPECT_EQ(region->bounds.type, R3X_TYPE_VOLUME_5W);
  EXPECT_EQ(region->bounds.x, 1);
  EXPECT_EQ(region->bounds.radius, 6);
  EXPECT_STREQ(static_cast<char*>(region->userData), "data");

  R3xMeshGeometry* mesh = _r3xMeshGeometry(region);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->ambient->definition, reinterpret_cast<R3xLightDef*>(r3xFindTag(world_, "amb")));
  EXPECT_EQ(mesh->renderVertexCount, 8u);
  EXPECT_EQ(mesh->vertexNormals, nullptr);
  EXPECT_EQ(mesh->regionFog, 1);
  ASSERT_EQ(mesh->faceCount, 2u);
  const R3xIndexedPolygon& first = mesh->faces[0].polygon;
  EXPECT_EQ(mesh->faces[0].surface.pen, 7u);
  EXPECT_EQ(first.type, R3X_TYPE_3D_SPRITE_FACE);
  EXPECT_EQ(first.vertexCount, 4);
  EXPECT_EQ(first.vertexIndexes[3], 3);
  EXPECT_EQ(first.distance, -5);
  // (1,2,5): (0,0,0) (4,0,0) (0,0,4) gives the normal (0, 1, 0) through the origin.
  const R3xIndexedPolygon& second = mesh->faces[1].polygon;
  EXPECT_NEAR(second.normal[1], 1, 1e-6);
  EXPECT_NEAR(second.distance, 0, 1e-6);

  ASSERT_EQ(mesh->visNodeCount, 2u);
  EXPECT_EQ(mesh->visNodes[0].front, &mesh->visNodes[1]);
  EXPECT_EQ(mesh->visNodes[0].list, &mesh->visLists[0]);
  EXPECT_EQ(mesh->visNodes[1].list, nullptr);
  EXPECT_EQ(mesh->visNodes[1].back, nullptr);
  ASSERT_EQ(mesh->visLists[0].count, 2u);
  EXPECT_EQ(mesh->visLists[0].regions[0], 1);
  EXPECT_EQ(mesh->visLists[0].regions[1], 0);

  const R3xObstacleList* obstacles = region->obstacles;
  ASSERT_NE(obstacles, nullptr);
  EXPECT_EQ(obstacles->type, R3X_TYPE_OBSTACLE_LIST);
  EXPECT_EQ(obstacles->floor[2], 1);
  EXPECT_EQ(obstacles->floor[3], -5);
  EXPECT_EQ(obstacles->obstacleCount, 1u);
  EXPECT_EQ(obstacles->cuttingCount, 1u);
  ASSERT_EQ(obstacles->proximalCount, 1u);
  EXPECT_EQ(obstacles->proximal[0].one, 1);
  EXPECT_EQ(obstacles->proximal[0].region, 1);
  EXPECT_EQ(obstacles->proximal[0].distance, 7.5f);
  const auto* plane = static_cast<const R3xPlane*>(obstacles->obstacles[0].geometry);
  EXPECT_NEAR(plane->b, 1, 1e-6);

  const R3xRegionInfo* info = region->info;
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->type, R3X_TYPE_REGION_INFO_B);
  EXPECT_EQ(info->objectCapacity, 16u);
  EXPECT_EQ(info->lightCapacity, 3u);
  EXPECT_NE(info->objects, nullptr);
  EXPECT_NE(info->lights, nullptr);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(RegionActions, RegionWithoutSphereSitsAtTheOriginAndSkyGetsTheBoxSphere) {
  BeginBlock(1);
  BeginRegion("plain");
  Walls({{1, 2, 3}});
  ASSERT_EQ(EndRegion(false), 0);
  const R3xRegion* region = r3xGetRegion(world_, 0);
  EXPECT_EQ(region->bounds.x, 0);
  EXPECT_EQ(region->bounds.radius, 0);
  EXPECT_EQ(region->obstacles->proximal, nullptr);

  float corners[] = {0, 0, 0, 2, 4, 4};
  R3xRegion sky{};
  sky.vertexCount = 2;
  sky.vertices = corners;
  ASSERT_EQ(CreateBoundingSphere(context_, &sky), 0);
  EXPECT_EQ(sky.bounds.x, 1);
  EXPECT_EQ(sky.bounds.y, 2);
  EXPECT_EQ(sky.bounds.z, 2);
  EXPECT_NEAR(sky.bounds.radius, 3, 1e-5);
  sky.vertices = nullptr;
  EXPECT_EQ(CreateBoundingSphere(context_, &sky), 1);
  EXPECT_EQ(CreateBoundingSphere(context_, nullptr), 1);
  EXPECT_EQ(TakeMessages(), (std::vector<std::string>{"CreateBoundingSphere: invalid vertex list",
                                                      "CreateBoundingSphere: invalid region"}));
}

TEST_F(RegionActions, GouraudNormalsSumSharedFacesAndKeepSingleOnes) {
  BeginBlock(1);
  BeginRegion("smooth");
  // Through vertex 1: the floor (normal -z), the wall y = 0 and the wall x = 0;
  // vertex 3 belongs to the floor alone, and face 1 names vertex 1 twice.
  Walls({{1, 2, 3, 1}, {1, 2, 5}, {1, 5, 4}});
  const float none[4] = {0, 0, 0, 0};
  ASSERT_EQ(parBeginObstacles(context_, 0, 0), 0);
  ASSERT_EQ(parBeginVisTree(context_, 1, 1), 0);
  ASSERT_EQ(parAddVisNode(context_, none, 1, 0, 0), 0);
  ASSERT_EQ(parAddVisibleList(context_, 0, nullptr), 0);
  ASSERT_EQ(parEndVisTree(context_), 0);
  R3xRegionTail tail{};
  tail.gouraud = 1;
  ASSERT_EQ(parEndRegion(context_, &tail), 0);
  const R3xMeshGeometry* mesh = _r3xMeshGeometry(r3xGetRegion(world_, 0));
  ASSERT_NE(mesh->vertexNormals, nullptr);
  float sum[3] = {0, 0, 0};
  for (std::uint32_t f = 0; f < 3; ++f) {
    for (int axis = 0; axis < 3; ++axis) {
      sum[axis] += mesh->faces[f].polygon.normal[axis];
    }
  }
  const float length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_NEAR(mesh->vertexNormals[axis], sum[axis] / length, 1e-3) << axis;
    EXPECT_EQ(mesh->vertexNormals[3 * 2 + axis], mesh->faces[0].polygon.normal[axis]) << axis;
    EXPECT_EQ(mesh->vertexNormals[3 * 5 + axis], 0) << axis;
  }
  EXPECT_EQ(mesh->visLists[0].regions, nullptr);
}

TEST_F(RegionActions, RegionCountMustMatchTheBlock) {
  BeginBlock(2);
  ASSERT_EQ(SimpleRegion("a"), 0);
  EXPECT_EQ(parEndRegionBlock(context_), 1);
  ASSERT_EQ(SimpleRegion("b"), 0);
  EXPECT_EQ(parBeginRegion(context_, R3X_TYPE_REGION_INFO, Text("c")), 1);
  EXPECT_EQ(TakeMessages(),
            (std::vector<std::string>{"NUMREGIONS is invalid", "NUMREGIONS is invalid"}));
  EXPECT_EQ(parEndRegionBlock(context_), 0);
  EXPECT_EQ(world_->regions.count, 2u);
  EXPECT_EQ(r3xGetRegion(world_, 1)->header.slot, 1);
}

TEST_F(RegionActions, TagInUseRefusesTheRegionButKeepsItRegistered) {
  BeginBlock(2);
  ASSERT_EQ(SimpleRegion("same"), 0);
  EXPECT_EQ(SimpleRegion("same"), 1);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"region tag is already in use"});
  EXPECT_EQ(world_->regions.count, 2u);
}

TEST_F(RegionActions, UnfinishedRegionsAreFreedWithTheWork) {
  BeginBlock(3);
  BeginRegion("open");
  Walls({{1, 2, 3}});
  ASSERT_EQ(parBeginObstacles(context_, 2, 0), 0);
  ASSERT_EQ(Obstacle(R3X_OBSTACLE_XY_LINE, {1, 2}), 0);
  // The fixture frees the work: the sanitizers see any leak.
  EXPECT_EQ(world_->regions.count, 0u);
}

TEST_F(RegionActions, WorldTreeLocatesPointsInItsRegions) {
  BeginBlock(2);
  ASSERT_EQ(SimpleRegion("west"), 0);
  ASSERT_EQ(SimpleRegion("east"), 0);
  ASSERT_EQ(parEndRegionBlock(context_), 0);
  const float split[4] = {1, 0, 0, -10};
  ASSERT_EQ(parBeginWorldTree(context_, 3), 0);
  ASSERT_EQ(parAddWorldNode(context_, split, 0, 2, 3), 0);
  ASSERT_EQ(parAddWorldNode(context_, kNoPlane, 2, 0, 0), 0);
  ASSERT_EQ(parAddWorldNode(context_, kNoPlane, 1, 0, 0), 0);
  ASSERT_EQ(parEndWorldTree(context_), 0);
  ASSERT_NE(world_->bspRoot, nullptr);
  EXPECT_EQ(world_->bspOffset, 0u);
  EXPECT_EQ(world_->bspRoot->front, world_->bspRoot + 1);
  EXPECT_EQ(world_->bspRoot[1].leaf, 2u);
  const float west[3] = {5, 5, 1};
  const float east[3] = {15, 5, 1};
  const float onPlane[3] = {10, 0, 0};
  EXPECT_EQ(r3xFindRegionIndexAt(world_, west), 0);
  EXPECT_EQ(r3xFindRegionIndexAt(world_, east), 1);
  EXPECT_EQ(r3xFindRegionIndexAt(world_, onPlane), 1);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(RegionActions, LongNamesAreCutToTheMessageSize) {
  BeginBlock(1);
  BeginRegion("r");
  const std::string name(1000, 'x');
  EXPECT_EQ(parSetRegionAmbientLight(context_, Text(name.c_str())), 1);
  const std::vector<std::string> messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], ("no definition for light: " + name).substr(0, 255));
}

struct BadInput {
  const char* name;
  void (*run)(RegionFixture& fixture);
  const char* message;
};

void PrintTo(const BadInput& input, std::ostream* out) { *out << input.name; }

void InRegion(RegionFixture& f) {
  f.BeginBlock(2);
  f.BeginRegion("r");
}

void InObstacles(RegionFixture& f) {
  InRegion(f);
  f.Walls({{1, 2, 3}});
  ASSERT_EQ(parBeginObstacles(f.context_, 0, 0), 0);
}

void TreeNodes(RegionFixture& f, std::int32_t count, std::int32_t leaf, std::int32_t front) {
  ASSERT_EQ(parBeginWorldTree(f.context_, count), 0);
  ASSERT_EQ(parAddWorldNode(f.context_, kNoPlane, 0, 2, 0), 0);
  ASSERT_EQ(parAddWorldNode(f.context_, kNoPlane, leaf, front, 0), 0);
}

const BadInput kBadInputs[] = {
    {"BlockTooSmall", [](RegionFixture& f) { parBeginRegionBlock(f.context_, 0); },
     "NUMREGIONS is invalid"},
    {"BlockTooLarge", [](RegionFixture& f) { parBeginRegionBlock(f.context_, 65537); },
     "NUMREGIONS is invalid"},
    {"SecondBlock",
     [](RegionFixture& f) {
       f.BeginBlock(1);
       parBeginRegionBlock(f.context_, 1);
     },
     "only one region block is allowed in a world"},
    {"UnknownLight",
     [](RegionFixture& f) {
       InRegion(f);
       parSetRegionAmbientLight(f.context_, Text("dark"));
     },
     "no definition for light: dark"},
    {"ProximalRegionOutOfRange",
     [](RegionFixture& f) {
       InRegion(f);
       parBeginProximalRegions(f.context_, 1);
       parAddProximalRegion(f.context_, 3, 1.0f);
     },
     "PROXIMALREGION 3 is out of range"},
    {"ProximalCount",
     [](RegionFixture& f) {
       InRegion(f);
       parBeginProximalRegions(f.context_, 2);
       parAddProximalRegion(f.context_, 1, 1.0f);
       parEndProximalRegions(f.context_);
     },
     "NUMPROXIMALREGIONS is invalid"},
    {"WallVertexOutOfRange",
     [](RegionFixture& f) {
       InRegion(f);
       parBeginWalls(f.context_, 1);
       R3xSurface surface = RegionFixture::Surface(1);
       parAddWall(f.context_, 0, kNoPlane, f.Ints({1, 2, 9}), &surface);
     },
     "wall vertex 9 is out of range"},
    {"WallOfTwoVertices",
     [](RegionFixture& f) {
       InRegion(f);
       parBeginWalls(f.context_, 1);
       R3xSurface surface = RegionFixture::Surface(1);
       parAddWall(f.context_, 0, kNoPlane, f.Ints({1, 2}), &surface);
     },
     "could not calculate normal"},
    {"WallCount",
     [](RegionFixture& f) {
       InRegion(f);
       parBeginWalls(f.context_, 2);
       parEndWalls(f.context_);
     },
     "NUMWALLS is invalid"},
    {"CuttingAboveObstacles",
     [](RegionFixture& f) {
       InRegion(f);
       f.Walls({});
       parBeginObstacles(f.context_, 1, 2);
     },
     "NUMCUTTINGOBSTACLES is invalid"},
    {"ObstacleCount",
     [](RegionFixture& f) {
       InRegion(f);
       f.Walls({});
       parBeginObstacles(f.context_, 1, 0);
       parEndObstacles(f.context_);
     },
     "NUMOBSTACLES is invalid"},
    {"VisibleRegionOutOfRange",
     [](RegionFixture& f) {
       InObstacles(f);
       parBeginVisTree(f.context_, 1, 1);
       parAddVisNode(f.context_, kNoPlane, 1, 0, 0);
       parAddVisibleList(f.context_, 2, f.Ints({1, 3}));
       parEndVisTree(f.context_);
       R3xRegionTail tail{};
       parEndRegion(f.context_, &tail);
     },
     "VISIBLELIST region 3 is out of range"},
    {"VisibleEntryBeyondSixteenBits",
     [](RegionFixture& f) {
       InObstacles(f);
       parBeginVisTree(f.context_, 1, 1);
       parAddVisibleList(f.context_, 1, f.Ints({65537}));
     },
     "VISIBLELIST region 65537 is out of range"},
    {"RangeCount",
     [](RegionFixture& f) {
       InObstacles(f);
       parBeginVisTree(f.context_, 1, 1);
       parAddVisibleList(f.context_, 2, f.Ints({1}));
     },
     "RANGE is invalid"},
    {"VisNodeCount",
     [](RegionFixture& f) {
       InObstacles(f);
       parBeginVisTree(f.context_, 2, 0);
       parAddVisNode(f.context_, kNoPlane, 0, 0, 0);
       parEndVisTree(f.context_);
     },
     "NUMVISNODE is invalid"},
    {"VisListCount",
     [](RegionFixture& f) {
       InObstacles(f);
       parBeginVisTree(f.context_, 1, 2);
       parAddVisNode(f.context_, kNoPlane, 0, 0, 0);
       parAddVisibleList(f.context_, 1, f.Ints({1}));
       parEndVisTree(f.context_);
     },
     "NUMVISLIST is invalid"},
    {"VisTreeLoop",
     [](RegionFixture& f) {
       InObstacles(f);
       parBeginVisTree(f.context_, 2, 0);
       parAddVisNode(f.context_, kNoPlane, 0, 2, 0);
       parAddVisNode(f.context_, kNoPlane, 0, 0, 1);
       parEndVisTree(f.context_);
     },
     "invalid visibility tree"},
    {"WorldNodeCount",
     [](RegionFixture& f) {
       TreeNodes(f, 3, 1, 0);
       parEndWorldTree(f.context_);
     },
     "NUMWORLDNODES is invalid"},
    {"WorldTreeLoop",
     [](RegionFixture& f) {
       TreeNodes(f, 2, 0, 2);
       parEndWorldTree(f.context_);
     },
     "invalid world tree"},
    {"SecondWorldTree",
     [](RegionFixture& f) {
       TreeNodes(f, 2, 1, 0);
       parEndWorldTree(f.context_);
       parBeginWorldTree(f.context_, 1);
     },
     "only one world tree is allowed in a world"},
    {"LeafBeyondTheRegions",
     [](RegionFixture& f) {
       f.BeginBlock(1);
       f.SimpleRegion("r");
       parEndRegionBlock(f.context_);
       TreeNodes(f, 2, 2, 0);
       parEndWorldTree(f.context_);
     },
     "WORLDREGIONTAG 2 is out of range"},
    {"LeafBeyondRegionsThatComeLater",
     [](RegionFixture& f) {
       TreeNodes(f, 2, 4, 0);
       parEndWorldTree(f.context_);
       f.BeginBlock(1);
       f.SimpleRegion("r");
       parEndRegionBlock(f.context_);
     },
     "WORLDREGIONTAG 4 is out of range"},
};

class RegionErrors : public RegionFixture, public ::testing::WithParamInterface<BadInput> {};

TEST_P(RegionErrors, ReportsTheFaultOnce) {
  GetParam().run(*this);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{GetParam().message});
  EXPECT_EQ(context_->errorCount, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegionErrors, ::testing::ValuesIn(kBadInputs),
                         [](const ::testing::TestParamInfo<BadInput>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace world_test
