#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/core/bsp.h"
#include "engine/core/error.h"
#include "engine/core/light.h"
#include "engine/core/light_internal.h"
#include "engine/core/math_tables.h"
#include "engine/core/math_tables_internal.h"
#include "engine/core/obstacle.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/wad.h"
#include "engine/core/world.h"
#include "engine/world/world_loading.h"
#include "tests/support/test_world_builder.h"
#include "tools/mkdata/world_binary_writer.h"
#include "world_fixture.h"

namespace world_test {
namespace {

// Loads text worlds written to a temporary folder through the engine's loading entry.
class WorldLoad : public ::testing::Test {
 protected:
  WorldLoad() : working_(folder_.Path()) {
    _r3xInitMathTables();
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    TakeMessages();
  }
  ~WorldLoad() override {
    r3xDestroyWorld(world_);
    _r3xFreeMathTables();
  }

  std::int32_t Load(const std::string& text) {
    folder_.Write("test.wld", text);
    return r3xLoadWorldFile("test.wld", world_, nullptr, nullptr, nullptr, nullptr);
  }

  test_support::ScratchFolder folder_;
  test_support::ScopedWorkingFolder working_;
  R3xWorld* world_;
};

// The world's recorded load error in the form its message box shows it.
std::string RecordedAsShown(const R3xLoadError* error) {
  if (error == nullptr) {
    return "(none)";
  }
  std::string shown = error->text;
  if (error->file[0] != '\0') {
    shown += std::string("\nfile: ") + error->file + "\n";
  }
  if (error->line != 0) {
    shown += "line: " + std::to_string(error->line) + "\n";
  }
  return shown;
}

// Two rooms along x, split at x = 10, under one world tree.
const char kRooms[] =
    "QZVWORLD rooms\n"
    "NUMVERTICES 6\n"
    "XYZ 0.0 0.0 0.0 XYZ 10.0 0.0 0.0 XYZ 20.0 0.0 0.0\n"
    "XYZ 0.0 10.0 0.0 XYZ 10.0 10.0 0.0 XYZ 20.0 10.0 0.0\n"
    "NUMREGIONS 2\n"
    "REGION 1 REGIONTAG west NUMRENDERVERTICES 6 NUMWALLS 1\n"
    "  WALL 1 FLOOR NUMVERTICES 4 VERTEXLIST 1 4 5 2 RENDERMETHOD SOLIDFILL ENDWALL 1\n"
    "  NUMOBSTACLES 2 NUMCUTTINGOBSTACLES 1\n"
    "  OBSTACLE 1 GEOMETRYCUTTINGOBSTACLE XY_LINE 0 5 2 NEXTREGION 2 ENDOBSTACLE 1\n"
    "  OBSTACLE 2 PLANE 0 1 NEXTREGION 0 FLOOR ENDOBSTACLE 2\n"
    "  VISTREE NUMVISNODE 1 NUMVISLIST 1\n"
    "  VISNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE 1\n"
    "  VISIBLELIST 1 RANGE 2 1 2 ENDVISIBLELIST 1 ENDVISTREE\n"
    "ENDREGION 1\n"
    "REGION 2 REGIONTAG east NUMRENDERVERTICES 6 NUMWALLS 1\n"
    "  WALL 1 FLOOR NUMVERTICES 4 VERTEXLIST 2 5 6 3 RENDERMETHOD SOLIDFILL ENDWALL 1\n"
    "  NUMOBSTACLES 1 NUMCUTTINGOBSTACLES 0\n"
    "  OBSTACLE 1 XY_LINE 0 2 5 NEXTREGION 1 ENDOBSTACLE 1\n"
    "  VISTREE NUMVISNODE 1 NUMVISLIST 1\n"
    "  VISNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE 1\n"
    "  VISIBLELIST 1 RANGE 1 2 ENDVISIBLELIST 1 ENDVISTREE\n"
    "  SPHERE 15.0 5.0 0.0 8.0\n"
    "ENDREGION 2\n"
    "WORLDTREE NUMWORLDNODES 3\n"
    "  WORLDNODE 1 NORMALABCD 1.0 0.0 0.0 -10.0 WORLDREGIONTAG 0 FRONTTREE 2 BACKTREE 3 "
    "ENDWORLDNODE 1\n"
    "  WORLDNODE 2 NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG 2 FRONTTREE 0 BACKTREE 0 ENDWORLDNODE "
    "2\n"
    "  WORLDNODE 3 NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG 1 FRONTTREE 0 BACKTREE 0 ENDWORLDNODE "
    "3\n"
    "ENDWORLDTREE\n"
    "ENDWORLD rooms\n";

TEST_F(WorldLoad, RoomsBuildTheirRecordsAndTheTreeLocatesPoints) {
  ASSERT_EQ(Load(kRooms), 0) << ::testing::PrintToString(TakeMessages());
  ASSERT_EQ(world_->regions.count, 2u);
  const R3xRegion* west = r3xGetRegion(world_, 0);
  const R3xRegion* east = r3xGetRegion(world_, 1);
  EXPECT_EQ(r3xFindTag(world_, "east"), &east->header);
  EXPECT_EQ(east->bounds.x, 15);
  ASSERT_EQ(west->obstacles->obstacleCount, 2u);
  const R3xObstacle& portal = west->obstacles->obstacles[0];
  EXPECT_EQ(portal.neighbour, 1);
  EXPECT_EQ(portal.neighbourGiven, -1);
  EXPECT_EQ(portal.flags, R3X_OBSTACLE_CUTTING);
  EXPECT_EQ(west->obstacles->obstacles[1].flags, R3X_OBSTACLE_FLOOR);
  EXPECT_EQ(static_cast<const R3xXYLine*>(portal.geometry)->nx, -1);
  EXPECT_EQ(_r3xMeshGeometry(east)->visLists[0].regions[0], 1);
  const float points[][3] = {{5, 5, 1}, {15, 5, 1}, {10, 3, 0}, {-50, 0, 0}};
  const std::int32_t expected[] = {0, 1, 1, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r3xFindRegionIndexAt(world_, points[i]), expected[i]) << i;
  }
}

// A world file may give two nodes one child. In a chain of 40 nodes whose front and back are
// both the next node, every sphere straddles every plane: the loader tells the walks to enter each
// node once, or a query (a point light's, say) would take 2^40 steps.
TEST_F(WorldLoad, AChainOfSharedChildrenIsWalkedOnce) {
  std::string tree = "WORLDTREE NUMWORLDNODES 42\n";
  for (int k = 1; k <= 40; ++k) {
    const int next = k + 1;
    const std::string n = std::to_string(k);
    tree += "  WORLDNODE " + n + " NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG 0 FRONTTREE " +
            std::to_string(next) + " BACKTREE " + std::to_string(k < 40 ? next : 42) +
            " ENDWORLDNODE " + n + "\n";
  }
  tree +=
      "  WORLDNODE 41 NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG 2 FRONTTREE 0 BACKTREE 0 "
      "ENDWORLDNODE 41\n"
      "  WORLDNODE 42 NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG 1 FRONTTREE 0 BACKTREE 0 "
      "ENDWORLDNODE 42\n"
      "ENDWORLDTREE\n";
  std::string text = kRooms;
  const std::size_t begin = text.find("WORLDTREE NUMWORLDNODES");
  const std::size_t end = text.find("ENDWORLDTREE\n") + std::string("ENDWORLDTREE\n").size();
  text.replace(begin, end - begin, tree);
  ASSERT_EQ(Load(text), 0) << ::testing::PrintToString(TakeMessages());
  EXPECT_NE(world_->bspSharesNodes, 0u);
  const float centre[3] = {5, 5, 1};
  EXPECT_EQ(FindRegionsInSphere(world_, centre, 1), (std::vector<std::int32_t>{1, 0}));
}

TEST_F(WorldLoad, RoomsWithATreeOfSingleParentsNeedNoMarks) {
  ASSERT_EQ(Load(kRooms), 0) << ::testing::PrintToString(TakeMessages());
  EXPECT_EQ(world_->bspSharesNodes, 0u);
}

TEST_F(WorldLoad, SkyWithoutSphereOrFogTakesTheBoxOfItsVerticesAndNoFog) {
  ASSERT_EQ(
      Load("// a sky alone, with a surface level\n"
           "NUMREGIONS 1 SKYREGION 1 REGIONTAG sky NUMREGIONVERTEX 2\n"
           "XYZ 0.0 0.0 0.0 XYZ 2.0 4.0 4.0\n"
           "NUMACTIONS 1 ACTION 1 NUMLEVELSOFDETAIL 1 LEVELOFDETAIL 1 RENDERMETHOD SOLIDFILL\n"
           "ENDLEVELOFDETAIL 1 ENDACTION 1 CURRENTACTION 1 ENDREGION 1\n"),
      0)
      << ::testing::PrintToString(TakeMessages());
  const R3xRegion* sky = r3xGetRegion(world_, 0);
  EXPECT_EQ(sky->bounds.x, 1);
  EXPECT_EQ(sky->bounds.y, 2);
  EXPECT_EQ(sky->bounds.z, 2);
  EXPECT_NEAR(sky->bounds.radius, 3, 1e-5);
  const R3xIndexedGeometry* model = _r3xIndexedGeometry(sky);
  EXPECT_EQ(model->fogDistance, 1e30f);
  EXPECT_EQ(model->currentAction, 0);
  EXPECT_EQ(model->ambient, nullptr);
  EXPECT_EQ(model->surfaces[0].type, R3X_TYPE_SURFACE);
}

struct BadWorld {
  const char* name;
  const char* from;
  const char* to;
  const char* message;
};

void PrintTo(const BadWorld& bad, std::ostream* out) { *out << bad.name; }

class WorldLoadErrors : public WorldLoad, public ::testing::WithParamInterface<BadWorld> {};

// Each case changes the first occurrence of one text of the rooms and names the line that the
// fault is reported at.
TEST_P(WorldLoadErrors, StopsAtTheFaultWithFileAndLine) {
  const BadWorld& bad = GetParam();
  std::string text = kRooms;
  const std::size_t at = text.find(bad.from);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, std::string(bad.from).size(), bad.to);
  EXPECT_EQ(Load(text), R3X_ERR_FAILED);
  const std::vector<std::string> messages = TakeMessages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], bad.message);
  EXPECT_EQ(RecordedAsShown(r3xGetLoadError(world_)), bad.message);
}

const BadWorld kBadWorlds[] = {
    {"MissingRegion", "NUMREGIONS 2", "NUMREGIONS 3",
     "NUMREGIONS is invalid\nfile: test.wld\nline: 24\n"},
    {"SameTag", "REGIONTAG east", "REGIONTAG west",
     "region tag is already in use\nfile: test.wld\nline: 23\n"},
    {"WallVertex", "VERTEXLIST 1 4 5 2", "VERTEXLIST 1 4 5 7",
     "wall vertex 7 is out of range\nfile: test.wld\nline: 7\n"},
    {"Walls", "NUMWALLS 1", "NUMWALLS 2", "NUMWALLS is invalid\nfile: test.wld\nline: 8\n"},
    {"Cutting", "NUMCUTTINGOBSTACLES 1", "NUMCUTTINGOBSTACLES 3",
     "NUMCUTTINGOBSTACLES is invalid\nfile: test.wld\nline: 8\n"},
    {"Obstacles", "NUMOBSTACLES 2", "NUMOBSTACLES 3",
     "NUMOBSTACLES is invalid\nfile: test.wld\nline: 11\n"},
    {"OtherRegion", "XY_LINE 0 5 2", "XY_LINE 1 5 2",
     "other regions no longer supported\nfile: test.wld\nline: 9\n"},
    {"NextRegion", "NEXTREGION 2", "NEXTREGION 3",
     "NEXTREGION 3 is out of range\nfile: test.wld\nline: 9\n"},
    {"ObstacleVertex", "XY_LINE 0 5 2", "XY_LINE 0 5 9",
     "obstacle vertex 9 is out of range\nfile: test.wld\nline: 9\n"},
    {"PlaneFace", "PLANE 0 1", "PLANE 0 2",
     "obstacle face 2 is out of range\nfile: test.wld\nline: 10\n"},
    {"Polygon", "XY_LINE 0 5 2", "EDGEPOLYGON 0 NUMVERTICES 2 5 2",
     "invalid number of vertices in polygon\nfile: test.wld\nline: 9\n"},
    {"Range", "RANGE 2 1 2", "RANGE 3 1 2", "RANGE is invalid\nfile: test.wld\nline: 13\n"},
    // Whether a list holds regions or run codes is known at the region's end.
    {"VisibleRegion", "RANGE 2 1 2", "RANGE 2 1 4",
     "VISIBLELIST region 4 is out of range\nfile: test.wld\nline: 14\n"},
    {"PlainListOfCodes", "RANGE 2 1 2", "RANGE 2 49156 2",
     "VISIBLELIST region 49156 is out of range\nfile: test.wld\nline: 14\n"},
    {"VisibleEntryBeyondSixteenBits", "RANGE 2 1 2", "RANGE 2 65537 2",
     "VISIBLELIST region 65537 is out of range\nfile: test.wld\nline: 13\n"},
    {"VisibleEntryZero", "RANGE 2 1 2", "RANGE 2 0 2",
     "VISIBLELIST region 0 is out of range\nfile: test.wld\nline: 13\n"},
    {"VisLists", "NUMVISLIST 1", "NUMVISLIST 2",
     "NUMVISLIST is invalid\nfile: test.wld\nline: 13\n"},
    {"WorldNodes", "NUMWORLDNODES 3", "NUMWORLDNODES 4",
     "NUMWORLDNODES is invalid\nfile: test.wld\nline: 28\n"},
    {"WorldLeaf", "WORLDREGIONTAG 2", "WORLDREGIONTAG 3",
     "WORLDREGIONTAG 3 is out of range\nfile: test.wld\nline: 28\n"},
    {"WorldLoop", "FRONTTREE 2 BACKTREE 3", "FRONTTREE 1 BACKTREE 3",
     "invalid world tree\nfile: test.wld\nline: 28\n"},
    {"WorldSelfLoop", "WORLDREGIONTAG 2 FRONTTREE 0", "WORLDREGIONTAG 2 FRONTTREE 2",
     "invalid world tree\nfile: test.wld\nline: 28\n"},
    {"SecondTree", "ENDWORLD rooms",
     "WORLDTREE NUMWORLDNODES 1 WORLDNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 "
     "WORLDREGIONTAG 1 FRONTTREE 0 BACKTREE 0 ENDWORLDNODE 1 ENDWORLDTREE ENDWORLD rooms",
     "only one world tree is allowed in a world\nfile: test.wld\nline: 29\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, WorldLoadErrors, ::testing::ValuesIn(kBadWorlds),
                         [](const ::testing::TestParamInfo<BadWorld>& info) {
                           return std::string(info.param.name);
                         });

// Records that stored worlds carry and the original loaded: each case changes texts of the
// rooms (the first occurrence of each) and the world still loads, with the record as checked.
struct AcceptedWorld {
  const char* name;
  std::vector<std::pair<std::string, std::string>> changes;
  void (*check)(const R3xWorld* world);
};

void PrintTo(const AcceptedWorld& accepted, std::ostream* out) { *out << accepted.name; }

class WorldLoadAccepts : public WorldLoad, public ::testing::WithParamInterface<AcceptedWorld> {};

TEST_P(WorldLoadAccepts, LoadsWhatStoredWorldsHold) {
  const AcceptedWorld& accepted = GetParam();
  std::string text = kRooms;
  for (const auto& [from, to] : accepted.changes) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }
  ASSERT_EQ(Load(text), 0) << ::testing::PrintToString(TakeMessages());
  accepted.check(world_);
}

const R3xObstacle& WestObstacle(const R3xWorld* world, std::uint32_t i) {
  return r3xGetRegion(world, 0)->obstacles->obstacles[i];
}

void ExpectCodedWestList(const R3xWorld* world) {
  const R3xMeshGeometry* west = _r3xMeshGeometry(r3xGetRegion(world, 0));
  EXPECT_EQ(west->encodedVisibility, 1);
  ASSERT_EQ(west->visLists[0].count, 2u);
  EXPECT_EQ(west->visLists[0].regions[0], 0xC003);
  EXPECT_EQ(west->visLists[0].regions[1], 0xFFFF);
}

// The west room's list as run codes (each written as the code + 1): 0xC003, 0xFFFF.
const std::pair<std::string, std::string> kCodedWestList = {
    "RANGE 2 1 2 ENDVISIBLELIST 1 ENDVISTREE",
    "RANGE 2 49156 65536 ENDVISIBLELIST 1 ENDVISTREE ENCODEDVISIBILITY"};

const AcceptedWorld kAcceptedWorlds[] = {
    {"CodedVisibleList", {kCodedWestList}, ExpectCodedWestList},
    {"RenderVerticesBeyondTheWorld",
     {{"REGIONTAG east NUMRENDERVERTICES 6", "REGIONTAG east NUMRENDERVERTICES 1000000"},
      {"SPHERE 15.0 5.0 0.0 8.0", "SPHERE 15.0 5.0 0.0 8.0 ENABLEGOURAUD2"}},
     [](const R3xWorld* world) {
       const R3xMeshGeometry* east = _r3xMeshGeometry(r3xGetRegion(world, 1));
       EXPECT_EQ(east->renderVertexCount, 1000000u);
       // Normals only for the world's six vertices.
       EXPECT_EQ(east->vertexNormalCount, 6u);
       ASSERT_NE(east->vertexNormals, nullptr);
       EXPECT_FLOAT_EQ(east->vertexNormals[3 * 4 + 2], 1.0f);
     }},
    {"PointXYZEdge",
     {{"XY_LINE 0 5 2", "XYZ_EDGE 0 5 5"}},
     [](const R3xWorld* world) {
       EXPECT_EQ(static_cast<const R3xXYZEdge*>(WestObstacle(world, 0).geometry)->length, 0);
     }},
    {"PointXYLine",
     {{"XY_LINE 0 5 2", "XY_LINE 0 5 5"}},
     [](const R3xWorld* world) {
       const auto* line = static_cast<const R3xXYLine*>(WestObstacle(world, 0).geometry);
       EXPECT_EQ(line->nx, 0);
       EXPECT_EQ(line->ny, 0);
       EXPECT_EQ(line->length, 0);
     }},
    {"PointXYEdge",
     {{"XY_LINE 0 5 2", "XY_EDGE 0 2 2"}},
     [](const R3xWorld* world) {
       const auto* edge = static_cast<const R3xXYLine*>(WestObstacle(world, 0).geometry);
       EXPECT_EQ(edge->type, R3X_TYPE_XY_EDGE);
       EXPECT_EQ(edge->nx, 0);
       EXPECT_EQ(edge->offset, 0);
     }},
    {"LightFrameBeyondItsFrames",
     {{"NUMREGIONS 2",
       "LIGHTDEFINITION TAG lamp NUMFRAMES 2 LIGHTLEVELS 0.5 1.0 CURRENTFRAME 7 "
       "ENDLIGHTDEFINITION\nNUMREGIONS 2"}},
     [](const R3xWorld* world) {
       const auto* lamp =
           reinterpret_cast<const R3xLightDef*>(r3xFindTag(const_cast<R3xWorld*>(world), "lamp"));
       ASSERT_NE(lamp, nullptr);
       EXPECT_EQ(lamp->defaultInstance->currentFrame, 6u);
       EXPECT_EQ(_r3xLightShownFrame(lamp->defaultInstance), 0u);
     }},
    {"WorldNodesShareAChild",
     {{"FRONTTREE 2 BACKTREE 3", "FRONTTREE 2 BACKTREE 2"}},
     [](const R3xWorld* world) {
       EXPECT_EQ(world->bspRoot->front, world->bspRoot->back);
       const float west[3] = {5, 5, 1};
       EXPECT_EQ(r3xFindRegionIndexAt(world, west), 1);
     }},
    {"VisNodesShareAChild",
     {{"NUMVISNODE 1 NUMVISLIST 1\n"
       "  VISNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE 1",
       "NUMVISNODE 2 NUMVISLIST 1\n"
       "  VISNODE 1 NORMALABCD 1.0 0.0 0.0 -5.0 VISLISTINDEX 0 FRONTTREE 2 BACKTREE 2 ENDVISNODE "
       "1\n"
       "  VISNODE 2 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE "
       "2"}},
     [](const R3xWorld* world) {
       const R3xMeshGeometry* west = _r3xMeshGeometry(r3xGetRegion(world, 0));
       ASSERT_EQ(west->visNodeCount, 2u);
       EXPECT_EQ(west->visNodes[0].front, &west->visNodes[1]);
       EXPECT_EQ(west->visNodes[0].back, &west->visNodes[1]);
     }},
    {"EdgeWallOverTwoCorners",
     {{"NUMWALLS 1\n  WALL 1 FLOOR NUMVERTICES 4 VERTEXLIST 1 4 5 2 RENDERMETHOD SOLIDFILL ENDWALL "
       "1",
       "NUMWALLS 2\n  WALL 1 FLOOR NUMVERTICES 4 VERTEXLIST 1 4 5 2 RENDERMETHOD SOLIDFILL ENDWALL "
       "1\n"
       "  WALL 2 NORMALABCD 0.0 1.0 0.0 0.0 NUMVERTICES 2 VERTEXLIST 1 2 RENDERMETHOD SOLIDFILL "
       "ENDWALL 2"},
      {"PLANE 0 1", "EDGEWALL 0 2"}},
     [](const R3xWorld* world) {
       const R3xObstacle& wall = WestObstacle(world, 1);
       EXPECT_EQ(wall.kind, R3X_OBSTACLE_EDGEPOLYGON);
       const auto* polygon = static_cast<const R3xEdgePolygon*>(wall.geometry);
       ASSERT_EQ(polygon->edgeCount, 2);
       EXPECT_EQ(polygon->edges[1].second, polygon->edges[0].first);
       EXPECT_EQ(polygon->normal[1], 1.0f);
       EXPECT_EQ(polygon->axisCode, R3X_AXIS_CODE_Y);
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, WorldLoadAccepts, ::testing::ValuesIn(kAcceptedWorlds),
                         [](const ::testing::TestParamInfo<AcceptedWorld>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(WorldLoad, CodedVisibleListLoadsFromTheBinaryForm) {
  std::string text = kRooms;
  text.replace(text.find(kCodedWestList.first), kCodedWestList.first.size(), kCodedWestList.second);
  const std::vector<std::uint8_t> binary =
      mkdata::EncodeBinaryWorld(folder_.Write("source.wld", text));
  folder_.Write("test.wld", std::string(binary.begin(), binary.end()));
  ASSERT_EQ(r3xLoadWorldFile("test.wld", world_, nullptr, nullptr, nullptr, nullptr), 0)
      << ::testing::PrintToString(TakeMessages());
  ExpectCodedWestList(world_);
}

TEST_F(WorldLoad, FileThatCannotBeOpenedIsRecordedWithoutALine) {
  EXPECT_EQ(r3xLoadWorldFile("missing.wld", world_, nullptr, nullptr, nullptr, nullptr),
            R3X_ERR_FAILED);
  // The precompiled reader, which tries every file first, fails it without a message box.
  EXPECT_TRUE(TakeMessages().empty());
  const R3xLoadError* error = r3xGetLoadError(world_);
  ASSERT_NE(error, nullptr);
  EXPECT_STREQ(error->file, "missing.wld");
  EXPECT_EQ(error->line, 0);
  EXPECT_STREQ(error->text, "cannot open world file: missing.wld");
}

TEST_F(WorldLoad, ErrorInAnIncludeFileNamesTheIncludeFile) {
  folder_.Write("head.wld", "\n~\n");
  EXPECT_EQ(Load("INCLUDE \"head.wld\"    // parsed, being long enough\n"), R3X_ERR_FAILED);
  const std::vector<std::string> messages = TakeMessages();
  ASSERT_FALSE(messages.empty());
  const R3xLoadError* error = r3xGetLoadError(world_);
  ASSERT_NE(error, nullptr);
  EXPECT_STREQ(error->text, "ascii scanner: illegal character in file");
  EXPECT_EQ(std::string(error->file).substr(std::string(error->file).size() - 8), "head.wld");
  EXPECT_EQ(error->line, 2);
  EXPECT_EQ(RecordedAsShown(error), messages[0]);
}

// Later errors of the same load are shown but do not replace the first.
TEST_F(WorldLoad, OnlyTheFirstErrorIsKept) {
  R3xParseContext* context = parCreateContext(world_, nullptr);
  ASSERT_NE(context, nullptr);
  context->fileName = "asked.wld";
  parError(context, "first %d", 1);
  parError(context, "second");
  parDestroyContext(context);
  EXPECT_EQ(TakeMessages(), (std::vector<std::string>{"first 1", "second"}));
  EXPECT_EQ(RecordedAsShown(r3xGetLoadError(world_)), "first 1\nfile: asked.wld\n");
}

TEST_F(WorldLoad, EachLoadStartsWithoutAnError) {
  EXPECT_EQ(r3xGetLoadError(nullptr), nullptr);
  EXPECT_EQ(r3xGetLoadError(world_), nullptr);
  std::string text = kRooms;
  text.replace(text.find("NUMWALLS 1"), 10, "NUMWALLS 2");
  ASSERT_EQ(Load(text), R3X_ERR_FAILED);
  ASSERT_NE(r3xGetLoadError(world_), nullptr);
  r3xDestroyWorld(world_);
  world_ = r3xCreateWorld(nullptr, 0, nullptr);
  EXPECT_EQ(Load(kRooms), 0) << ::testing::PrintToString(TakeMessages());
  EXPECT_EQ(r3xGetLoadError(world_), nullptr);
}

TEST(DemoArena, LoadsFromItsPackWithoutAMessage) {
  _r3xInitMathTables();
  R3xWad* pack = r3xOpenWad(ARENA_DEMO_PACK, 64);
  ASSERT_NE(pack, nullptr);
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  TakeMessages();
  EXPECT_EQ(r3xLoadWorldFile("arena.wld", world, pack, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{});
  EXPECT_EQ(world->regions.count, 5u);
  for (const char* tag : {"BOX_ACTORDEF", "CARD_ACTORDEF", "TANK_COLLISION_ACTORDEF",
                          "LMCOL_SPHRLDEF", "MSCOL_SPHRLDEF", "LIGHTDEF", "sky"}) {
    EXPECT_NE(r3xFindTag(world, tag), nullptr) << tag;
  }
  // The sky: its own vertices, one textured surface, no collision data or dynamic information.
  const R3xRegion* sky = r3xGetRegion(world, 4);
  const R3xIndexedGeometry* model = _r3xIndexedGeometry(sky);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->actionCount, 1u);
  EXPECT_EQ(model->surfaceCount, 1u);
  EXPECT_NE(model->surfaces[0].texture, nullptr);
  EXPECT_EQ(model->currentAction, 0);
  EXPECT_EQ(model->unused, -1);
  EXPECT_EQ(model->fogDistance, 3000);
  EXPECT_NE(model->ambient, nullptr);
  EXPECT_EQ(sky->vertexCount, 4u);
  EXPECT_EQ(sky->bounds.x, 200);
  EXPECT_EQ(sky->bounds.z, 1000);
  EXPECT_NEAR(sky->bounds.radius, 3111.27f, 0.1f);
  EXPECT_EQ(sky->obstacles, nullptr);
  EXPECT_EQ(sky->info, nullptr);
  EXPECT_NE(_r3xMeshGeometry(r3xGetRegion(world, 0))->vertexNormals, nullptr);
  const float cells[][3] = {{100, 100, 1}, {300, 100, 1}, {100, 300, 1}, {300, 300, 1}};
  for (std::int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(r3xFindRegionIndexAt(world, cells[i]), i) << i;
  }
  r3xDestroyWorld(world);
  r3xCloseWad(pack);
  _r3xFreeMathTables();
}

}  // namespace
}  // namespace world_test
