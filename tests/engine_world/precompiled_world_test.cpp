#include "engine/world/precompiled_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/bitmap.h"
#include "engine/core/bsp.h"
#include "engine/core/directional_light.h"
#include "engine/core/error.h"
#include "engine/core/light.h"
#include "engine/core/math_plane.h"
#include "engine/core/math_tables.h"
#include "engine/core/math_tables_internal.h"
#include "engine/core/obstacle.h"
#include "engine/core/point_light.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/sprite_3d.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/vis_data.h"
#include "engine/core/volume.h"
#include "engine/core/wad.h"
#include "engine/core/world.h"
#include "engine/world/vis_member_name.h"
#include "engine/world/world_loading.h"
#include "engine/world/world_reader.h"
#include "engine/world/world_string_key.h"
#include "precompiled_file.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/pack_writer.h"
#include "world_fixture.h"

namespace world_test {
namespace {

constexpr std::uint32_t kVersion = 0x15500;
constexpr std::uint32_t kLightDef = 27;
constexpr std::uint32_t kLight = 28;
constexpr std::uint32_t kSphereVolume = 22;
constexpr std::uint32_t k3DSpriteDef = 8;
constexpr std::uint32_t kWorldNodes = 33;
constexpr std::uint32_t kMeshRegion = 34;
constexpr std::uint32_t kVertices = 44;

std::vector<std::uint8_t> AsBytes(const std::string& text) { return {text.begin(), text.end()}; }

class PrecompiledWorld : public ::testing::Test {
 protected:
  PrecompiledWorld() : working_(folder_.Path()) {
    _r3xInitMathTables();
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    TakeMessages();
  }
  ~PrecompiledWorld() override {
    r3xDestroyWorld(world_);
    r3xCloseWad(pack_);
    _r3xFreeMathTables();
  }

  std::int32_t Load(const std::string& bytes) {
    folder_.Write("test.wld", bytes);
    return r3xLoadWorldFile("test.wld", world_, nullptr, nullptr, nullptr, nullptr);
  }
  // Loads "test.wld" out of a pack holding the file and, when given, its ".VIS" member.
  std::int32_t LoadFromPack(const std::string& bytes, const std::string* vis) {
    std::vector<mkdata::PackMember> members{{"test.wld", AsBytes(bytes)}};
    if (vis != nullptr) {
      members.push_back({"test.VIS", AsBytes(*vis)});
    }
    const std::vector<std::uint8_t> pack =
        mkdata::BuildPack(std::move(members), mkdata::PackLayout::kHeader);
    const std::string path = folder_.Write("test.r3x", std::string(pack.begin(), pack.end()));
    pack_ = r3xOpenWad(path.c_str(), 8);
    return r3xLoadWorldFile("test.wld", world_, pack_, nullptr, nullptr, nullptr);
  }

  // A file with the world's vertices, a light definition "glow" and the regions.
  static PrecompiledFile WithVertices() {
    PrecompiledFile file;
    file.Add(kVertices, VerticesPayload({0, 0, 0, 10, 0, 0, 10, 10, 0, 0, 10, 0}));
    return file;
  }

  test_support::ScratchFolder folder_;
  test_support::ScopedWorkingFolder working_;
  R3xWorld* world_;
  R3xWad* pack_ = nullptr;
};

TEST_F(PrecompiledWorld, ShortFileFailsWithoutBeingParsed) {
  EXPECT_EQ(Load("// 10 b\n\n"), R3X_ERR_FAILED);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(PrecompiledWorld, TextFileIsNotPrecompiledAndIsParsedInstead) {
  const std::string text =
      "// a light\nLIGHTDEFINITION TAG lamp NUMFRAMES 1 LIGHTLEVELS 1.0 ENDLIGHTDEFINITION\n";
  folder_.Write("test.wld", text);
  EXPECT_EQ(_r3xReadPrecompiledWorld("test.wld", world_, nullptr, nullptr, nullptr),
            R3X_ERR_NOT_BINARY_WORLD);
  EXPECT_EQ(world_->lightDefs.count, 0u);
  EXPECT_EQ(Load(text), 0);
  EXPECT_NE(r3xFindTag(world_, "lamp"), nullptr);
}

TEST_F(PrecompiledWorld, VersionsOtherThanTheOneWithItsVisibilityBitFail) {
  PrecompiledFile file;
  file.Add(kLightDef, LightDefPayload(file.Name("lamp")));
  EXPECT_EQ(Load(file.Bytes(kVersion + 2)), R3X_ERR_BAD_WORLD_VERSION);
  EXPECT_EQ(Load(file.Bytes(kVersion - 0x100)), R3X_ERR_BAD_WORLD_VERSION);
  EXPECT_EQ(world_->lightDefs.count, 0u);
  EXPECT_EQ(Load(file.Bytes(kVersion)), 0);
  EXPECT_NE(r3xFindTag(world_, "lamp"), nullptr);
}

TEST_F(PrecompiledWorld, VisibilityBitNeedsTheVisMemberOfAnArchive) {
  PrecompiledFile file;
  file.Add(kLightDef, LightDefPayload(file.Name("lamp")));
  EXPECT_EQ(Load(file.Bytes(kVersion + 1)), R3X_ERR_NO_VIS_DATA);
  EXPECT_EQ(LoadFromPack(file.Bytes(kVersion + 1), nullptr), R3X_ERR_NO_VIS_DATA);
  EXPECT_EQ(world_->lightDefs.count, 0u);
}

TEST_F(PrecompiledWorld, UnknownRecordTypeFailsKeepingWhatCameBefore) {
  PrecompiledFile file;
  file.Add(kLightDef, LightDefPayload(file.Name("lamp")));
  file.Add(10, arena::ByteWriter());
  file.Add(kLightDef, LightDefPayload(file.Name("later")));
  EXPECT_EQ(Load(file.Bytes()), R3X_ERR_FAILED);
  EXPECT_NE(r3xFindTag(world_, "lamp"), nullptr);
  EXPECT_EQ(r3xFindTag(world_, "later"), nullptr);
}

TEST_F(PrecompiledWorld, MissingFileFails) {
  EXPECT_EQ(r3xLoadWorldFile("absent.wld", world_, nullptr, nullptr, nullptr, nullptr),
            R3X_ERR_FAILED);
}

TEST_F(PrecompiledWorld, NameReferenceFindsTheNameAtItsOffset) {
  PrecompiledFile file;
  const std::int32_t lamp = file.Name("lamp");
  file.Add(kLightDef, LightDefPayload(lamp));
  arena::ByteWriter light;
  light.I32(file.Name("bulb"));
  light.I32(lamp);
  file.Add(kLight, light);
  ASSERT_EQ(Load(file.Bytes()), 0);
  const auto* made = reinterpret_cast<const R3xLight*>(r3xFindTag(world_, "bulb"));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->definition, reinterpret_cast<R3xLightDef*>(r3xFindTag(world_, "lamp")));
}

TEST_F(PrecompiledWorld, ProgressIsReportedPerRecord) {
  PrecompiledFile file;
  file.Add(kLightDef, LightDefPayload(file.Name("a")));
  file.Add(kLightDef, LightDefPayload(file.Name("b")));
  folder_.Write("test.wld", file.Bytes());
  std::vector<std::uint32_t> calls;
  ASSERT_EQ(r3xLoadWorldFile(
                "test.wld", world_, nullptr, nullptr,
                [](void* user, std::int32_t phase, std::uint32_t done, std::uint32_t total) {
                  EXPECT_EQ(phase, 1);
                  EXPECT_EQ(total, 2u);
                  static_cast<std::vector<std::uint32_t>*>(user)->push_back(done);
                },
                &calls),
            0);
  EXPECT_EQ(calls, (std::vector<std::uint32_t>{1, 2}));
}

// Faults of untrusted files, each of which must fail the load and leave the world sound (the
// sanitizer build checks that nothing is freed twice, read out of bounds or leaked).
struct BadFile {
  const char* name;
  PrecompiledFile (*build)();
  std::uint32_t regionCount;
};

void PrintTo(const BadFile& bad, std::ostream* out) { *out << bad.name; }

std::vector<std::uint8_t> Obstacle(std::uint32_t neighbour, std::int32_t kind,
                                   std::vector<std::uint32_t> numbers) {
  arena::ByteWriter out;
  out.U32(0);
  out.U32(neighbour);
  out.I32(kind);
  for (const std::uint32_t number : numbers) {
    out.U32(number);
  }
  return out.Take();
}

// A world tree record over nodes given as {leaf region, front, back} (numbered from 1, 0 none),
// interior nodes split at x = 5 and leaves without a plane.
arena::ByteWriter WorldNodes(const std::vector<std::array<std::uint32_t, 3>>& nodes) {
  arena::ByteWriter out;
  out.U32(0);
  out.U32(static_cast<std::uint32_t>(nodes.size()));
  for (const auto& [leaf, front, back] : nodes) {
    for (const float value : {leaf == 0 ? 1.0f : 0.0f, 0.0f, 0.0f, leaf == 0 ? -5.0f : 0.0f}) {
      out.F32(value);
    }
    out.U32(leaf);
    out.U32(front);
    out.U32(back);
  }
  return out;
}

PrecompiledFile RegionFile(const MeshRegionSpec& spec) {
  PrecompiledFile file;
  file.Add(kVertices, VerticesPayload({0, 0, 0, 10, 0, 0, 10, 10, 0, 0, 10, 0}));
  file.Add(kMeshRegion, MeshRegionPayload(spec));
  return file;
}

const BadFile kBadFiles[] = {
    {"ReferenceToALaterRecord",
     [] {
       PrecompiledFile file;
       arena::ByteWriter light;
       light.I32(0);
       light.I32(2);
       file.Add(kLight, light);
       file.Add(kLightDef, LightDefPayload(0));
       return file;
     },
     0},
    {"ReferenceToARecordOfAnotherType",
     [] {
       PrecompiledFile file;
       file.Add(kSphereVolume, SphereVolumePayload(1));
       arena::ByteWriter light;
       light.I32(0);
       light.I32(1);
       file.Add(kLight, light);
       return file;
     },
     0},
    {"NameReferenceOfAnotherType",
     [] {
       PrecompiledFile file;
       const std::int32_t name = file.Name("shape");
       file.Add(k3DSpriteDef, Sprite3DDefPayload(name, 0));
       arena::ByteWriter light;
       light.I32(0);
       light.I32(name);
       file.Add(kLight, light);
       return file;
     },
     0},
    {"NameOutsideTheBlock",
     [] {
       PrecompiledFile file;
       file.Name("lamp");
       file.Add(kLightDef, LightDefPayload(-100));
       return file;
     },
     0},
    {"NameWithoutItsTerminator",
     [] {
       PrecompiledFile file;
       file.SetNameBlock(std::string(1, '\0') + "lamp");
       file.Add(kLightDef, LightDefPayload(-1));
       return file;
     },
     0},
    {"PositiveTagField",
     [] {
       PrecompiledFile file;
       file.Add(kLightDef, LightDefPayload(3));
       return file;
     },
     0},
    {"CountLargerThanThePayload",
     [] {
       PrecompiledFile file;
       arena::ByteWriter spheres;
       spheres.I32(0);
       spheres.U32(0);
       spheres.U32(0x40000000);
       spheres.F32(1);
       file.Add(25, spheres);
       return file;
     },
     0},
    {"PayloadSizeFarBeyondTheFile",
     [] {
       PrecompiledFile file;
       file.AddRaw({0xF0, 0xFF, 0xFF, 0xFF, 27, 0, 0, 0, 1, 2, 3}, 1);
       return file;
     },
     0},
    {"WallVertexOutOfRange",
     [] {
       return RegionFile({.corners = {0, 1, 9}});
     },
     1},
    {"UVPairsThatDoNotMatchTheCorners", [] { return RegionFile({.uvPairs = 2}); }, 1},
    {"ObstacleVertexOutOfRange",
     [] {
       return RegionFile({.obstacleCount = 1, .obstacles = Obstacle(0, 10, {0, 4})});
     },
     1},
    {"ObstacleFaceOutOfRange",
     [] { return RegionFile({.obstacleCount = 1, .obstacles = Obstacle(0, 13, {1})}); }, 1},
    {"NeighbourOutOfRange",
     [] { return RegionFile({.obstacleCount = 1, .obstacles = Obstacle(2, 8, {0})}); }, 1},
    {"UnknownObstacleKind",
     [] { return RegionFile({.obstacleCount = 1, .obstacles = Obstacle(0, 7, {0})}); }, 1},
    {"MoreCuttingObstaclesThanObstacles",
     [] {
       return RegionFile({.obstacleCount = 1, .cuttingCount = 2, .obstacles = Obstacle(0, 8, {0})});
     },
     1},
    {"VisibleRegionOutOfRange",
     [] {
       return RegionFile({.visLists = {{0, 1}}});
     },
     1},
    {"RegionBeyondTheHeaderCount",
     [] {
       PrecompiledFile file = RegionFile({});
       file.Add(kMeshRegion, MeshRegionPayload({}));
       return file;
     },
     1},
    {"RegionCountBeyondSixteenBitIndexes", [] { return RegionFile({}); }, 65537},
    {"WorldTreeWithACycle",
     [] {
       PrecompiledFile file = RegionFile({});
       file.Add(kWorldNodes, WorldNodes({{0, 2, 0}, {0, 3, 0}, {1, 0, 2}}));
       return file;
     },
     1},
    {"WorldTreeNamingItsRoot",
     [] {
       PrecompiledFile file = RegionFile({});
       file.Add(kWorldNodes, WorldNodes({{0, 2, 0}, {1, 0, 1}}));
       return file;
     },
     1},
    {"VisTreeWithACycle",
     [] {
       return RegionFile({.visLists = {{0}}, .visLinks = {{2, 0}, {3, 0}, {0, 2}}});
     },
     1},
    {"VisTreeNamingItsRoot",
     [] {
       return RegionFile({.visLists = {{0}}, .visLinks = {{2, 0}, {0, 1}}});
     },
     1},
    {"WorldNodeLeafBeyondTheRegions",
     [] {
       PrecompiledFile file = RegionFile({});
       arena::ByteWriter nodes;
       nodes.U32(0);
       nodes.U32(1);
       for (int i = 0; i < 4; ++i) {
         nodes.F32(0);
       }
       nodes.U32(2);
       nodes.U32(0);
       nodes.U32(0);
       file.Add(kWorldNodes, nodes);
       return file;
     },
     1},
};

class PrecompiledBadFile : public PrecompiledWorld,
                           public ::testing::WithParamInterface<BadFile> {};

TEST_P(PrecompiledBadFile, FailsTheLoad) {
  EXPECT_EQ(Load(GetParam().build().Bytes(kVersion, GetParam().regionCount)), R3X_ERR_FAILED);
  EXPECT_TRUE(TakeMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, PrecompiledBadFile, ::testing::ValuesIn(kBadFiles),
                         [](const ::testing::TestParamInfo<BadFile>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(PrecompiledWorld, VolumeTakenByOneRecordCannotBeTakenByAnother) {
  PrecompiledFile file;
  file.Add(kSphereVolume, SphereVolumePayload(2));
  file.Add(k3DSpriteDef, Sprite3DDefPayload(file.Name("first"), 1));
  file.Add(k3DSpriteDef, Sprite3DDefPayload(file.Name("second"), 1));
  EXPECT_EQ(Load(file.Bytes()), R3X_ERR_FAILED);
  const auto* first = reinterpret_cast<const R3x3DSpriteDef*>(r3xFindTag(world_, "first"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(r3xGetVolumeRadius(first->defaultInstance->volume), 2);
  EXPECT_EQ(r3xFindTag(world_, "second"), nullptr);
}

TEST_F(PrecompiledWorld, RecordCountBeyondTheFileFailsKeepingTheRecordsRead) {
  PrecompiledFile file;
  file.Add(kLightDef, LightDefPayload(file.Name("lamp")));
  EXPECT_EQ(Load(file.Bytes(kVersion, 0, 0xFFFFFFFF)), R3X_ERR_FAILED);
  EXPECT_NE(r3xFindTag(world_, "lamp"), nullptr);
}

TEST_F(PrecompiledWorld, SecondWorldWithRegionsFails) {
  ASSERT_EQ(Load(RegionFile({}).Bytes(kVersion, 1)), 0);
  EXPECT_EQ(world_->regions.count, 1u);
  EXPECT_EQ(Load(RegionFile({}).Bytes(kVersion, 1)), R3X_ERR_FAILED);
  EXPECT_EQ(world_->regions.count, 1u);
}

// Walks mark the nodes they visit, so nodes that share a child do no harm.
TEST_F(PrecompiledWorld, WorldTreeNodesMayShareAChild) {
  PrecompiledFile file = WithVertices();
  file.Add(kMeshRegion, MeshRegionPayload({}));
  file.Add(kMeshRegion, MeshRegionPayload({}));
  // Node 3 (region 1) is the back child of the root and of node 2.
  file.Add(kWorldNodes, WorldNodes({{0, 2, 3}, {0, 4, 3}, {1, 0, 0}, {2, 0, 0}}));
  ASSERT_EQ(Load(file.Bytes(kVersion, 2)), 0);
  const R3xWorldNode* root = world_->bspRoot;
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->back, root->front->back);
  // Sphere walks over this tree must remember the nodes they reached.
  EXPECT_NE(world_->bspSharesNodes, 0u);
  const float west[3] = {1, 0, 0};
  const float east[3] = {9, 0, 0};
  EXPECT_EQ(r3xFindRegionIndexAt(world_, west), 0);
  EXPECT_EQ(r3xFindRegionIndexAt(world_, east), 1);
}

TEST_F(PrecompiledWorld, VisibilityNodesMayShareAChild) {
  ASSERT_EQ(
      Load(
          RegionFile({.visLists = {{0}}, .visLinks = {{2, 3}, {3, 0}, {0, 0}}}).Bytes(kVersion, 1)),
      0);
  const R3xMeshGeometry* mesh = _r3xMeshGeometry(r3xGetRegion(world_, 0));
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(mesh->visNodeCount, 3u);
  EXPECT_EQ(mesh->visNodes[0].front, &mesh->visNodes[1]);
  EXPECT_EQ(mesh->visNodes[0].back, &mesh->visNodes[2]);
  EXPECT_EQ(mesh->visNodes[1].front, &mesh->visNodes[2]);
}

// A later vertex array replaces the world's while regions point into the earlier one, which
// stays until the world goes (the sanitizer build checks that neither is leaked).
TEST_F(PrecompiledWorld, VertexArrayReplacedUnderRegionsKeepsTheEarlierOne) {
  PrecompiledFile file = WithVertices();
  file.Add(kMeshRegion, MeshRegionPayload({.corners = {1, 2, 3}}));
  file.Add(kVertices, VerticesPayload({100, 0, 0, 100, 50, 0, 150, 50, 0}));
  file.Add(kMeshRegion, MeshRegionPayload({.corners = {0, 1, 2}}));
  ASSERT_EQ(Load(file.Bytes(kVersion, 2)), 0);
  EXPECT_EQ(world_->vertexCount, 3u);
  const auto corners = [&](std::int32_t index) {
    const R3xRegion* region = r3xGetRegion(world_, index);
    const R3xIndexedPolygon& face = _r3xMeshGeometry(region)->faces[0].polygon;
    EXPECT_EQ(face.vertices, region->vertices);
    std::vector<float> xyz;
    for (std::int32_t i = 0; i < face.vertexCount; ++i) {
      const float* vertex = face.vertices + 3 * face.vertexIndexes[i];
      xyz.insert(xyz.end(), vertex, vertex + 3);
    }
    return xyz;
  };
  EXPECT_EQ(corners(0), (std::vector<float>{10, 0, 0, 10, 10, 0, 0, 10, 0}));
  EXPECT_EQ(corners(1), (std::vector<float>{100, 0, 0, 100, 50, 0, 150, 50, 0}));
  EXPECT_EQ(r3xGetRegion(world_, 1)->vertices, world_->vertices);
  EXPECT_EQ(r3xGetRegion(world_, 0)->bounds.x, 5);
}

// Stored worlds carry such counts, and the text form keeps them too.
TEST_F(PrecompiledWorld, RenderVertexCountBeyondTheWorldsVerticesIsKept) {
  ASSERT_EQ(Load(RegionFile({.renderVertexCount = 1000000}).Bytes(kVersion, 1)), 0);
  EXPECT_EQ(_r3xMeshGeometry(r3xGetRegion(world_, 0))->renderVertexCount, 1000000u);
}

// The text form keeps such a sky too; nothing indexes the actions with it unbounded.
TEST_F(PrecompiledWorld, SkyCurrentActionBeyondItsActionsIsKept) {
  PrecompiledFile file;
  arena::ByteWriter sky;
  sky.I32(file.Name("sky"));
  sky.U32(0x01);  // the current action follows
  for (int field = 0; field < 4; ++field) {
    sky.U32(0);  // no ambient light, vertices, actions or surfaces
  }
  sky.U32(5);
  sky.U32(0);  // no user data
  file.Add(36, sky);
  ASSERT_EQ(Load(file.Bytes(kVersion, 1)), 0);
  const R3xIndexedGeometry* model = _r3xIndexedGeometry(r3xGetRegion(world_, 0));
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->currentAction, 5);
  EXPECT_EQ(model->actionCount, 0u);
}

TEST_F(PrecompiledWorld, RegionWithoutSphereTakesTheBoxOfItsFaceVertices) {
  ASSERT_EQ(Load(RegionFile({.corners = {0, 1, 2}}).Bytes(kVersion, 1)), 0);
  const R3xRegion* region = r3xGetRegion(world_, 0);
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(region->bounds.x, 5);
  EXPECT_EQ(region->bounds.y, 5);
  EXPECT_FLOAT_EQ(region->bounds.radius, std::sqrt(50.0f));
}

TEST_F(PrecompiledWorld, VisibleListsPastTheVisMemberFail) {
  MeshRegionSpec spec{.visLists = {{0, 0, 0}}, .listsInVis = true};
  const std::string vis = VisMember({spec}).substr(0, 4);
  EXPECT_EQ(LoadFromPack(RegionFile(spec).Bytes(kVersion + 1, 1), &vis), R3X_ERR_FAILED);
  EXPECT_EQ(world_->regions.count, 0u);
}

TEST_F(PrecompiledWorld, VisibleListsPointIntoTheVisMemberUntilTheLastRegionGoes) {
  const std::vector<MeshRegionSpec> regions = {
      {.visLists = {{0, 1}, {}}, .listsInVis = true},
      {.visLists = {{1}}, .listsInVis = true},
      {},
  };
  PrecompiledFile file = WithVertices();
  for (const MeshRegionSpec& spec : regions) {
    file.Add(kMeshRegion, MeshRegionPayload(spec));
  }
  const std::string vis = VisMember(regions);
  ASSERT_EQ(LoadFromPack(file.Bytes(kVersion + 1, 3), &vis), 0);
  R3xRegion* first = r3xGetRegion(world_, 0);
  R3xRegion* second = r3xGetRegion(world_, 1);
  const R3xMeshGeometry* mesh = _r3xMeshGeometry(first);
  ASSERT_NE(mesh->visData, nullptr);
  R3xVisData* data = mesh->visData;
  EXPECT_EQ(_r3xMeshGeometry(second)->visData, data);
  EXPECT_EQ(_r3xMeshGeometry(r3xGetRegion(world_, 2))->visData, nullptr);
  // One reference per region with lists; the read's own is gone.
  EXPECT_EQ(data->refCount, 2);
  ASSERT_EQ(mesh->visLists[0].count, 2u);
  EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(mesh->visLists[0].regions), data->data);
  EXPECT_EQ(mesh->visLists[0].regions[1], 1);
  EXPECT_EQ(mesh->visLists[1].count, 0u);
  EXPECT_EQ(_r3xMeshGeometry(second)->visLists[0].regions[0], 1);
  // The view outlives the archive.
  r3xCloseWad(pack_);
  pack_ = nullptr;
  EXPECT_EQ(_r3xMeshGeometry(second)->visLists[0].regions[0], 1);
  r3xDestroyRegionData(world_, first);
  EXPECT_EQ(data->refCount, 1);
  EXPECT_EQ(_r3xMeshGeometry(second)->visLists[0].regions[0], 1);
  // The last region releases it: the sanitizer build sees it unmapped and freed once.
  r3xDestroyRegionData(world_, second);
}

constexpr std::uint32_t kBitmap = 3;
constexpr std::uint32_t kPointLight = 29;
constexpr std::uint32_t kDirectionalLight = 37;
constexpr std::uint32_t kAmbientLight = 42;

// A light definition and a light of it (records 1 and 2 of the file, or later), the light
// tagged when tag is nonzero; returns the light's record.
std::int32_t AddLight(PrecompiledFile& file, std::int32_t tag) {
  const std::int32_t definition = file.Add(kLightDef, LightDefPayload(0));
  arena::ByteWriter light;
  light.I32(tag);
  light.I32(definition);
  return file.Add(kLight, light);
}

// The world's vertices, one region over them and a world tree of that region alone, in which
// point lights can stand.
void AddRoom(PrecompiledFile& file) {
  file.Add(kVertices, VerticesPayload({0, 0, 0, 10, 0, 0, 10, 10, 0, 0, 10, 0}));
  file.Add(kMeshRegion, MeshRegionPayload({}));
  file.Add(kWorldNodes, WorldNodes({{1, 0, 0}}));
}

arena::ByteWriter PointLightPayload(std::int32_t tag, std::int32_t light,
                                    std::array<float, 3> position, float radius) {
  arena::ByteWriter out;
  out.I32(tag);
  out.I32(light);
  for (const float value : position) {
    out.F32(value);
  }
  out.F32(radius);
  return out;
}

// Records 37 (a direction) and 42 (a word not read) end in the regions the light reaches.
arena::ByteWriter RegionLightPayload(std::int32_t tag, std::int32_t light,
                                     const std::vector<std::uint32_t>& words,
                                     const std::vector<std::uint32_t>& regions) {
  arena::ByteWriter out;
  out.I32(tag);
  out.I32(light);
  for (const std::uint32_t word : words) {
    out.U32(word);
  }
  out.U32(static_cast<std::uint32_t>(regions.size()));
  for (const std::uint32_t region : regions) {
    out.U32(region);
  }
  return out;
}

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

// A name as a record holds it: scrambled, with its terminator.
std::vector<std::uint8_t> ScrambledName(const std::string& name) {
  std::vector<std::uint8_t> bytes(name.begin(), name.end());
  bytes.push_back(0);
  _r3xApplyWorldStringKey(bytes.data(), bytes.size());
  return bytes;
}

// Two objects that one record kind tags alike are both entered, as the text form enters its
// lights: the dictionary finds the first, and the second once the first's entry is gone.
struct TwinCase {
  const char* name;
  void (*add)(PrecompiledFile& file, std::int32_t twin);
  std::uint32_t regionCount;
};

void PrintTo(const TwinCase& c, std::ostream* out) { *out << c.name; }

const TwinCase kTwinCases[] = {
    {"Lights",
     [](PrecompiledFile& file, std::int32_t twin) {
       AddLight(file, twin);
       AddLight(file, twin);
     },
     0},
    {"PointLights",
     [](PrecompiledFile& file, std::int32_t twin) {
       AddRoom(file);
       const std::int32_t light = AddLight(file, 0);
       file.Add(kPointLight, PointLightPayload(twin, light, {0, 0, 0}, 1));
       file.Add(kPointLight, PointLightPayload(twin, light, {1, 0, 0}, 1));
     },
     1},
    {"DirectionalLights",
     [](PrecompiledFile& file, std::int32_t twin) {
       const std::int32_t light = AddLight(file, 0);
       const std::vector<std::uint32_t> down = {Bits(0), Bits(0), Bits(-1)};
       file.Add(kDirectionalLight, RegionLightPayload(twin, light, down, {}));
       file.Add(kDirectionalLight, RegionLightPayload(twin, light, down, {}));
     },
     0},
    {"AmbientLightNamedAsAnotherLight",
     [](PrecompiledFile& file, std::int32_t twin) {
       AddLight(file, twin);
       file.Add(kAmbientLight, RegionLightPayload(twin, AddLight(file, 0), {0}, {}));
     },
     0},
    {"Regions",
     [](PrecompiledFile& file, std::int32_t twin) {
       file.Add(kVertices, VerticesPayload({0, 0, 0, 10, 0, 0, 10, 10, 0, 0, 10, 0}));
       file.Add(kMeshRegion, MeshRegionPayload({.tag = twin}));
       file.Add(kMeshRegion, MeshRegionPayload({.tag = twin}));
     },
     2},
};

class PrecompiledTwinTags : public PrecompiledWorld,
                            public ::testing::WithParamInterface<TwinCase> {};

TEST_P(PrecompiledTwinTags, AreBothEntered) {
  PrecompiledFile file;
  GetParam().add(file, file.Name("twin"));
  ASSERT_EQ(Load(file.Bytes(kVersion, GetParam().regionCount)), 0);
  R3xObjectHeader* first = r3xFindTag(world_, "twin");
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first->flags & R3X_FLAG_IN_DICTIONARY, 0u);
  ASSERT_EQ(r3xRemoveTag(world_, "twin"), 0);
  R3xObjectHeader* second = r3xFindTag(world_, "twin");
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(second->type, first->type);
  EXPECT_STREQ(second->tag, "twin");
}

INSTANTIATE_TEST_SUITE_P(Cases, PrecompiledTwinTags, ::testing::ValuesIn(kTwinCases),
                         [](const ::testing::TestParamInfo<TwinCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(PrecompiledWorld, PointLightRecordPlacesATaggedLight) {
  PrecompiledFile file;
  AddRoom(file);
  const std::int32_t light = AddLight(file, file.Name("bulb"));
  file.Add(kPointLight, PointLightPayload(file.Name("spot"), light, {1, 2, 3}, 4));
  ASSERT_EQ(Load(file.Bytes(kVersion, 1)), 0);
  const auto* point = reinterpret_cast<const R3xPointLight*>(r3xFindTag(world_, "spot"));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->header.type, R3X_TYPE_POINT_LIGHT);
  EXPECT_EQ(point->light, reinterpret_cast<R3xLight*>(r3xFindTag(world_, "bulb")));
  EXPECT_EQ(std::vector<float>(point->position, point->position + 3),
            (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(point->radius, 4);
  // Its influence is worked out: it reaches the room it stands in.
  EXPECT_EQ(std::vector<std::int32_t>(point->regions, point->regions + point->regionCount),
            (std::vector<std::int32_t>{0}));
}

TEST_F(PrecompiledWorld, DirectionalLightRecordReachesItsRegions) {
  PrecompiledFile file = WithVertices();
  file.Add(kMeshRegion, MeshRegionPayload({}));
  file.Add(kMeshRegion, MeshRegionPayload({}));
  const std::int32_t light = AddLight(file, file.Name("glow"));
  file.Add(kDirectionalLight,
           RegionLightPayload(file.Name("sun"), light, {Bits(0), Bits(0.6f), Bits(-0.8f)}, {1}));
  ASSERT_EQ(Load(file.Bytes(kVersion, 2)), 0);
  const auto* sun = reinterpret_cast<const R3xDirectionalLight*>(r3xFindTag(world_, "sun"));
  ASSERT_NE(sun, nullptr);
  EXPECT_EQ(sun->header.type, R3X_TYPE_DIRECTIONAL_LIGHT);
  EXPECT_EQ(sun->light, reinterpret_cast<R3xLight*>(r3xFindTag(world_, "glow")));
  EXPECT_EQ(std::vector<float>(sun->direction, sun->direction + 3),
            (std::vector<float>{0, 0.6f, -0.8f}));
  EXPECT_EQ(std::vector<std::int32_t>(sun->regions, sun->regions + sun->regionCount),
            (std::vector<std::int32_t>{1}));
}

TEST_F(PrecompiledWorld, AmbientLightRecordNamesTheLightAndLightsItsRegions) {
  PrecompiledFile file = WithVertices();
  for (int i = 0; i < 3; ++i) {
    file.Add(kMeshRegion, MeshRegionPayload({}));
  }
  const std::int32_t light = AddLight(file, file.Name("glow"));
  file.Add(kAmbientLight, RegionLightPayload(file.Name("ambient"), light, {7}, {0, 2}));
  ASSERT_EQ(Load(file.Bytes(kVersion, 3)), 0);
  auto* made = reinterpret_cast<R3xLight*>(r3xFindTag(world_, "ambient"));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->header.type, R3X_TYPE_LIGHT);
  EXPECT_EQ(r3xFindTag(world_, "glow"), nullptr);
  EXPECT_EQ(_r3xMeshGeometry(r3xGetRegion(world_, 0))->ambient, made);
  EXPECT_EQ(_r3xMeshGeometry(r3xGetRegion(world_, 1))->ambient, nullptr);
  EXPECT_EQ(_r3xMeshGeometry(r3xGetRegion(world_, 2))->ambient, made);
}

TEST_F(PrecompiledWorld, RegionLightsNamingNoRegionFail) {
  for (const std::uint32_t type : {kDirectionalLight, kAmbientLight}) {
    PrecompiledFile file = RegionFile({});
    const std::int32_t light = AddLight(file, 0);
    const std::vector<std::uint32_t> words = type == kDirectionalLight
                                                 ? std::vector<std::uint32_t>{0, 0, Bits(1)}
                                                 : std::vector<std::uint32_t>{0};
    file.Add(type, RegionLightPayload(file.Name("late"), light, words, {0, 1}));
    EXPECT_EQ(Load(file.Bytes(kVersion, 1)), R3X_ERR_FAILED) << type;
    EXPECT_EQ(r3xFindTag(world_, "late"), nullptr) << type;
    r3xDestroyWorld(world_);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
  }
}

// Kind 14 is an edge polygon over the listed world vertices with the plane they give; kind 18
// one over a face of the region, with the face's plane; both are kept as kind 14.
TEST_F(PrecompiledWorld, EdgePolygonObstaclesFromVerticesOrFromAFace) {
  std::vector<std::uint8_t> obstacles = Obstacle(0, 14, {3, 0, 1, 3});
  const std::vector<std::uint8_t> wall = Obstacle(0, 18, {0});
  obstacles.insert(obstacles.end(), wall.begin(), wall.end());
  ASSERT_EQ(Load(RegionFile({.corners = {0, 1, 2}, .obstacleCount = 2, .obstacles = obstacles})
                     .Bytes(kVersion, 1)),
            0);
  const R3xRegion* region = r3xGetRegion(world_, 0);
  ASSERT_EQ(region->obstacles->obstacleCount, 2u);
  const auto corners = [&](const R3xObstacle& obstacle) {
    EXPECT_EQ(obstacle.kind, R3X_OBSTACLE_EDGEPOLYGON);
    const auto* polygon = static_cast<const R3xEdgePolygon*>(obstacle.geometry);
    std::vector<std::int64_t> starts;
    for (std::int32_t i = 0; i < polygon->edgeCount; ++i) {
      starts.push_back((polygon->edges[i].first - world_->vertices) / 3);
    }
    EXPECT_EQ(std::fabs(polygon->normal[2]), 1.0f);
    EXPECT_EQ(polygon->distance, 0.0f);
    EXPECT_EQ(polygon->axisCode, R3X_AXIS_CODE_Z);
    return starts;
  };
  EXPECT_EQ(corners(region->obstacles->obstacles[0]), (std::vector<std::int64_t>{0, 1, 3}));
  EXPECT_EQ(corners(region->obstacles->obstacles[1]), (std::vector<std::int64_t>{0, 1, 2}));
  const auto* wallPolygon =
      static_cast<const R3xEdgePolygon*>(region->obstacles->obstacles[1].geometry);
  EXPECT_EQ(wallPolygon->normal[2], _r3xMeshGeometry(region)->faces[0].polygon.normal[2]);
}

// With more further levels than a bitmap can have, only the first file is read: the names after
// it may name nothing.
TEST_F(PrecompiledWorld, BitmapRecordBeyondTheMostLevelsLoadsTheFirstFileAlone) {
  const std::vector<std::uint8_t> bmp = mkdata::BuildBmp(mkdata::MakePatternImage(8, 8, 16));
  folder_.Write("b.bmp", std::string(bmp.begin(), bmp.end()));
  for (const std::uint32_t levels : {15u, 16u, 40u}) {
    PrecompiledFile file;
    arena::ByteWriter record;
    record.I32(file.Name("pic"));
    record.U32(levels);
    for (std::uint32_t i = 0; i <= std::min(levels, 16u); ++i) {
      const std::string name = i == 0 ? "b.bmp" : "absent.bmp";
      record.U16(static_cast<std::uint16_t>(name.size() + 1));
      record.Bytes(ScrambledName(name));
    }
    file.Add(kBitmap, record);
    EXPECT_EQ(Load(file.Bytes()), levels == 15 ? R3X_ERR_FAILED : 0) << levels;
    const auto* bitmap = reinterpret_cast<const R3xBitmap*>(r3xFindTag(world_, "pic"));
    if (levels == 15) {
      EXPECT_EQ(bitmap, nullptr);
      continue;
    }
    ASSERT_NE(bitmap, nullptr) << levels;
    EXPECT_EQ(bitmap->lastFrame, 0) << levels;
    EXPECT_EQ(bitmap->width, 8) << levels;
    r3xDestroyWorld(world_);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
  }
}

// A region's visible lists as its record or the ".VIS" member holds them: a coded list's entries
// are run codes and load whatever their value; a plain list's entries must name regions.
struct VisibleListCase {
  const char* name;
  std::vector<std::uint16_t> entries;
  bool encoded;
  bool inVis;
  std::int32_t result;
};

void PrintTo(const VisibleListCase& c, std::ostream* out) { *out << c.name; }

class VisibleListEntries : public PrecompiledWorld,
                           public ::testing::WithParamInterface<VisibleListCase> {};

TEST_P(VisibleListEntries, LoadOrFailByTheirKind) {
  const VisibleListCase& c = GetParam();
  const MeshRegionSpec spec{
      .visLists = {c.entries}, .listsInVis = c.inVis, .encodedVisibility = c.encoded};
  PrecompiledFile file = RegionFile(spec);
  file.Add(kMeshRegion, MeshRegionPayload({}));
  const std::string vis = VisMember({spec});
  const std::int32_t result =
      c.inVis ? LoadFromPack(file.Bytes(kVersion + 1, 2), &vis) : Load(file.Bytes(kVersion, 2));
  ASSERT_EQ(result, c.result);
  if (result != 0) {
    EXPECT_EQ(world_->regions.count, 0u);
    return;
  }
  const R3xMeshGeometry* mesh = _r3xMeshGeometry(r3xGetRegion(world_, 0));
  EXPECT_EQ(mesh->encodedVisibility, c.encoded ? 1 : 0);
  ASSERT_EQ(mesh->visLists[0].count, c.entries.size());
  EXPECT_EQ(std::vector<std::uint16_t>(mesh->visLists[0].regions,
                                       mesh->visLists[0].regions + c.entries.size()),
            c.entries);
}

const VisibleListCase kVisibleListCases[] = {
    {"CodedStampRun", {0xC003}, true, false, 0},
    {"CodedSkipAndStampRuns", {0x0001, 0x4000 | 2 << 7 | 1, 0x8000 | 1 << 7 | 5}, true, false, 0},
    {"CodedRunsInTheVisMember", {0xC003, 0x3FFF}, true, true, 0},
    {"PlainRegions", {1, 0}, false, false, 0},
    {"PlainRegionsInTheVisMember", {1, 0}, false, true, 0},
    {"PlainCodeValue", {0xC003}, false, false, R3X_ERR_FAILED},
    {"PlainRegionJustBeyond", {0, 2}, false, false, R3X_ERR_FAILED},
    {"PlainRegionBeyondInTheVisMember", {2}, false, true, R3X_ERR_FAILED},
};

INSTANTIATE_TEST_SUITE_P(Cases, VisibleListEntries, ::testing::ValuesIn(kVisibleListCases),
                         [](const ::testing::TestParamInfo<VisibleListCase>& info) {
                           return std::string(info.param.name);
                         });

struct VisName {
  const char* world;
  const char* vis;
};

class VisMemberName : public ::testing::TestWithParam<VisName> {};

TEST_P(VisMemberName, ReplacesTheExtensionWithinThirteenCharacters) {
  char name[R3X_VIS_NAME_SIZE] = {};
  const bool made = r3xVisMemberName(GetParam().world, name);
  EXPECT_EQ(made, GetParam().vis != nullptr);
  if (made) {
    EXPECT_STREQ(name, GetParam().vis);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, VisMemberName,
    ::testing::Values(VisName{"arena1.wld", "arena1.VIS"}, VisName{"a.b.wld", "a.VIS"},
                      VisName{"abcdefghi.wld", "abcdefghi.VIS"}, VisName{"abcdefghij.wld", nullptr},
                      VisName{"averylongname.wld", nullptr}, VisName{"noextension", nullptr},
                      VisName{".wld", ".VIS"}));

// The ring between the reader thread and the loader.
class WorldRing : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
      bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
    }
    folder_.Write("ring.bin", std::string(bytes.begin(), bytes.end()));
    return bytes;
  }

  test_support::ScratchFolder folder_;
};

TEST_F(WorldRing, DeliversAPatternedStreamByteExactInOddSizedReads) {
  const std::vector<std::uint8_t> expected = Pattern(100 * 1024);
  const std::string path = (folder_.Path() / "ring.bin").string();
  R3xWorldReader* reader = _r3xCreateWorldReader(path.c_str(), nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(_r3xStartWorldReader(reader), 0);
  std::vector<std::uint8_t> got;
  const std::size_t sizes[] = {1, 3, 7, 4093, 13, 30001, 32767, 5, 9999};
  for (std::size_t i = 0; got.size() < expected.size(); ++i) {
    const std::size_t n = std::min(sizes[i % std::size(sizes)], expected.size() - got.size());
    std::vector<std::uint8_t> piece(n);
    ASSERT_EQ(_r3xReadWorldBytes(reader, piece.data(), n), 0) << got.size();
    got.insert(got.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(got, expected);
  std::uint8_t more = 0;
  EXPECT_EQ(_r3xReadWorldBytes(reader, &more, 1), R3X_ERR_FAILED);
  _r3xDestroyWorldReader(reader);
}

TEST_F(WorldRing, ExactlyOneRingOfBytesComesOnceThenTheEnd) {
  const std::vector<std::uint8_t> expected = Pattern(R3X_WORLD_RING_SIZE);
  const std::string path = (folder_.Path() / "ring.bin").string();
  R3xWorldReader* reader = _r3xCreateWorldReader(path.c_str(), nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(_r3xStartWorldReader(reader), 0);
  std::vector<std::uint8_t> got(expected.size());
  ASSERT_EQ(_r3xReadWorldBytes(reader, got.data(), got.size()), 0);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(_r3xReadWorldBytes(reader, got.data(), 2), R3X_ERR_FAILED);
  _r3xDestroyWorldReader(reader);
}

TEST_F(WorldRing, StoppingBeforeTheEndEndsTheThread) {
  Pattern(200 * 1024);
  const std::string path = (folder_.Path() / "ring.bin").string();
  R3xWorldReader* reader = _r3xCreateWorldReader(path.c_str(), nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(_r3xStartWorldReader(reader), 0);
  std::uint8_t first[10];
  ASSERT_EQ(_r3xReadWorldBytes(reader, first, sizeof first), 0);
  _r3xDestroyWorldReader(reader);
}

TEST_F(WorldRing, MissingFileEndsAtOnce) {
  R3xWorldReader* reader = _r3xCreateWorldReader("absent.bin", nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(_r3xStartWorldReader(reader), 0);
  std::uint8_t header[28];
  EXPECT_EQ(_r3xReadWorldBytes(reader, header, sizeof header), R3X_ERR_FAILED);
  _r3xDestroyWorldReader(reader);
}

}  // namespace
}  // namespace world_test
