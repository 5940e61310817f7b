#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/r3x.h"
#include "tests/support/test_world_builder.h"

namespace {

struct WorldDeleter {
  void operator()(R3xWorld* world) const { r3xDestroyWorld(world); }
};
using WorldPtr = std::unique_ptr<R3xWorld, WorldDeleter>;

template <typename T>
T* allocate(std::size_t count = 1) {
  return static_cast<T*>(r3xMalloc(count * sizeof(T)));
}

R3xMeshGeometry* meshWithEverything(R3xWorld* world, R3xLight* ambient, R3xVisData* vis) {
  auto* mesh = allocate<R3xMeshGeometry>();
  mesh->type = R3X_TYPE_MESH_GEOMETRY;
  mesh->renderVertexCount = 2;
  mesh->vertexNormals = allocate<float>(6);
  mesh->faceCount = 2;
  mesh->faces = allocate<R3xRegionFace>(2);
  for (std::uint32_t i = 0; i < 2; ++i) {
    mesh->faces[i].surface.uv = allocate<float>(6);
    mesh->faces[i].polygon = {R3X_TYPE_3D_SPRITE_FACE, 3,         allocate<std::int32_t>(3),
                              world->vertices,         {0, 0, 1}, 0};
  }
  mesh->visListCount = 2;
  mesh->visLists = allocate<R3xVisibleList>(2);
  mesh->visNodeCount = 1;
  mesh->visNodes = allocate<R3xVisNode>(1);
  mesh->visNodes[0].list = &mesh->visLists[0];
  if (vis != nullptr) {
    ++vis->refCount;
    mesh->visData = vis;
    static std::uint16_t shared[2] = {0, 1};
    mesh->visLists[0] = {2, shared};
  } else {
    mesh->visLists[0] = {2, allocate<std::uint16_t>(2)};
  }
  mesh->ambient = ambient;
  r3xAddRef(&ambient->header);
  return mesh;
}

R3xObstacleList* obstaclesOfEveryKind(R3xWorld* world) {
  auto* list = allocate<R3xObstacleList>();
  list->type = R3X_TYPE_OBSTACLE_LIST;
  list->obstacleCount = 7;
  list->obstacles = allocate<R3xObstacle>(7);
  const std::int32_t kinds[] = {R3X_OBSTACLE_XY_VERTEX,  R3X_OBSTACLE_XYZ_VERTEX,
                                R3X_OBSTACLE_XY_LINE,    R3X_OBSTACLE_XY_EDGE,
                                R3X_OBSTACLE_XYZ_EDGE,   R3X_OBSTACLE_PLANE,
                                R3X_OBSTACLE_EDGEPOLYGON};
  for (std::uint32_t i = 0; i < 7; ++i) {
    R3xObstacle& obstacle = list->obstacles[i];
    obstacle.type = R3X_TYPE_OBSTACLE;
    obstacle.kind = kinds[i];
    obstacle.userData = i % 2 == 0 ? r3xMalloc(4) : nullptr;
  }
  list->obstacles[0].geometry = world->vertices;
  list->obstacles[1].geometry = world->vertices + 3;
  list->obstacles[2].geometry = allocate<R3xXYLine>();
  list->obstacles[3].geometry = allocate<R3xXYLine>();
  list->obstacles[4].geometry = allocate<R3xXYZEdge>();
  list->obstacles[5].geometry = allocate<R3xPlane>();
  auto* polygon = allocate<R3xEdgePolygon>();
  polygon->edgeCount = 3;
  polygon->edges = allocate<R3xXYZEdge>(3);
  list->obstacles[6].geometry = polygon;
  list->proximalCount = 1;
  list->proximal = allocate<R3xProximalRegion>();
  return list;
}

TEST(RegionTest, TeardownFreesWhatARegionOwnsAndReleasesItsReferences) {
  TestWorldSpec spec = MakeThreeSlabs();
  spec.tagged = true;
  WorldPtr world(MakeTestWorld(spec));
  ASSERT_NE(world, nullptr);
  const float one[] = {1.0f};
  R3xLight* ambient = r3xCreateLightDef(world.get(), "AMBIENT", 1, one, 0, 0, 0)->defaultInstance;
  auto* vis = allocate<R3xVisData>();

  R3xRegion* first = r3xGetRegion(world.get(), 0);
  R3xRegion* second = r3xGetRegion(world.get(), 1);
  first->geometry = meshWithEverything(world.get(), ambient, vis);
  second->geometry = meshWithEverything(world.get(), ambient, nullptr);
  first->obstacles = obstaclesOfEveryKind(world.get());
  first->userData = r3xMalloc(8);
  first->info->objectCount = 1;
  first->info->objects[0] = {0, 1, 4, allocate<std::uint32_t>(4)};
  EXPECT_EQ(ambient->header.refCount, 3);
  EXPECT_EQ(vis->refCount, 1);
  EXPECT_EQ(r3xFindTag(world.get(), "R1"), &first->header);

  EXPECT_EQ(r3xDestroyRegionData(world.get(), first), 0);
  EXPECT_EQ(ambient->header.refCount, 2);
  EXPECT_EQ(r3xFindTag(world.get(), "R1"), nullptr);
  EXPECT_EQ(first->geometry, nullptr);
  EXPECT_EQ(first->obstacles, nullptr);
  EXPECT_EQ(first->info, nullptr);
  // The rest goes with the world; the sanitizers check that nothing leaks.
}

TEST(RegionTest, VisibilityDataLivesWhileARegionUsesIt) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  const float one[] = {1.0f};
  R3xLight* ambient = r3xCreateLightDef(world.get(), "AMBIENT", 1, one, 0, 0, 0)->defaultInstance;
  auto* vis = allocate<R3xVisData>();
  r3xGetRegion(world.get(), 0)->geometry = meshWithEverything(world.get(), ambient, vis);
  r3xGetRegion(world.get(), 2)->geometry = meshWithEverything(world.get(), ambient, vis);
  EXPECT_EQ(vis->refCount, 2);
  r3xDestroyRegionData(world.get(), r3xGetRegion(world.get(), 2));
  EXPECT_EQ(vis->refCount, 1);
}

TEST(RegionTest, TheAmbientLightOfARegionIsReferencedAndReplaced) {
  WorldPtr world(MakeTestWorld(MakeThreeSlabs()));
  ASSERT_NE(world, nullptr);
  const float one[] = {1.0f};
  R3xLightDef* definition = r3xCreateLightDef(world.get(), "AMBIENT", 1, one, 0, 0, 0);
  R3xLight* dim = r3xCreateLight(world.get(), definition);
  R3xLight* bright = r3xCreateLight(world.get(), definition);
  R3xRegion* region = r3xGetRegion(world.get(), 1);
  EXPECT_EQ(r3xSetRegionAmbient(region, dim), R3X_ERR_FAILED);

  auto* sky = allocate<R3xIndexedGeometry>();
  sky->type = R3X_TYPE_INDEXED_GEOMETRY;
  sky->actionCount = 1;
  sky->actions = allocate<R3xAction>();
  sky->actions[0] = {1, allocate<R3xLodLevel>()};
  sky->surfaceCount = 1;
  sky->surfaces = allocate<R3xSurface>();
  sky->surfaces[0].uv = allocate<float>(8);
  region->geometry = sky;
  region->vertexCount = 2;
  region->vertices = allocate<float>(6);

  EXPECT_EQ(r3xSetRegionAmbient(region, dim), 0);
  EXPECT_EQ(dim->header.refCount, 1);
  EXPECT_EQ(r3xDestroyLight(world.get(), dim), R3X_ERR_FAILED);
  EXPECT_EQ(r3xSetRegionAmbient(region, bright), 0);
  EXPECT_EQ(dim->header.refCount, 0);
  EXPECT_EQ(bright->header.refCount, 1);
  EXPECT_EQ(sky->ambient, bright);
  EXPECT_EQ(r3xDestroyLight(world.get(), dim), 0);
}

TEST(RegionTest, CollisionCallbacksReadObstacleGeometry) {
  float a[3] = {1, 2, 3};
  float b[3] = {4, 5, 6};
  R3xXYZEdge edge{R3X_TYPE_XYZ_EDGE, a, b, 0};
  const R3xPlane plane{R3X_TYPE_PLANE, 0, 0.6f, 0.8f, -2};
  R3xEdgePolygon polygon{R3X_TYPE_EDGE_POLYGON, 1, &edge, {1, 0, 0}, -7, 2};
  const R3xObstacle obstacle{R3X_TYPE_OBSTACLE, R3X_OBSTACLE_PLANE, nullptr, 0, 0, 0, nullptr};
  float out[3];
  EXPECT_EQ(r3xGetObstacleKind(&obstacle), R3X_OBSTACLE_PLANE);
  EXPECT_EQ(r3xGetPlaneNormal(&plane, out), 0);
  EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{0, 0.6f, 0.8f}));
  EXPECT_EQ(r3xGetEdgeStart(&edge, out), 0);
  EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(r3xGetEdgeEnd(&edge, out), 0);
  EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{4, 5, 6}));
  EXPECT_EQ(r3xGetEdgePolygonPlane(&polygon, out), -7);
  EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{1, 0, 0}));
}

}  // namespace
