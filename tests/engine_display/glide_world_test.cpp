#include <algorithm>
#include <cstdint>
#include <iomanip>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/math_tables_internal.h"
#include "engine/core/region.h"
#include "engine/core/render_work_arrays_internal.h"
#include "tests/engine_display/display_fixture.h"
#include "tests/support/failing_memory.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

namespace {

// Room 1's visibility tree split at x = 5 into two leaves: the half toward room 2 sees rooms 1
// and 2, the other half rooms 1 and 3.
const char* const kSplitFirstRoom =
    "  VISTREE NUMVISNODE 3 NUMVISLIST 2\n"
    "  VISNODE 1 NORMALABCD 1.0 0.0 0.0 -5.0 VISLISTINDEX 0 FRONTTREE 2 BACKTREE 3 ENDVISNODE 1\n"
    "  VISNODE 2 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 ENDVISNODE 2\n"
    "  VISNODE 3 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 2 FRONTTREE 0 BACKTREE 0 ENDVISNODE 3\n"
    "  VISIBLELIST 1 RANGE 2 1 2 ENDVISIBLELIST 1\n"
    "  VISIBLELIST 2 RANGE 2 1 3 ENDVISIBLELIST 2 ENDVISTREE\n";

// `rooms` square rooms of side 10 along x with a floor at z = 0 each; every room sees every
// room, unless the first room's tree is split. Room k (region k - 1) spans x in
// [10 (k - 1), 10 k].
std::string RoomsWorld(std::uint32_t rooms, const std::string& floorMethod,
                       bool splitFirstRoom = false) {
  std::ostringstream out;
  out << std::fixed << std::setprecision(3);
  out << "QZVWORLD rooms\nNUMVERTICES " << 2 * (rooms + 1) << "\n";
  for (std::uint32_t i = 0; i <= rooms; ++i) {
    out << "XYZ " << 10.0f * static_cast<float>(i) << " 0.0 0.0 XYZ "
        << 10.0f * static_cast<float>(i) << " 10.0 0.0\n";
  }
  out << "NUMREGIONS " << rooms << "\n";
  for (std::uint32_t k = 1; k <= rooms; ++k) {
    const std::uint32_t w0 = 2 * (k - 1) + 1;
    out << "REGION " << k << " REGIONTAG room" << k << " NUMRENDERVERTICES " << 2 * (rooms + 1)
        << " NUMWALLS 1\n  WALL 1 FLOOR NUMVERTICES 4 VERTEXLIST " << w0 << " " << w0 + 1 << " "
        << w0 + 3 << " " << w0 + 2 << " RENDERMETHOD " << floorMethod << " ENDWALL 1\n"
        << "  NUMOBSTACLES 1 NUMCUTTINGOBSTACLES 0\n"
        << "  OBSTACLE 1 PLANE 0 1 NEXTREGION 0 FLOOR ENDOBSTACLE 1\n";
    if (k == 1 && splitFirstRoom) {
      out << kSplitFirstRoom;
    } else {
      out << "  VISTREE NUMVISNODE 1 NUMVISLIST 1\n"
          << "  VISNODE 1 NORMALABCD 0.0 0.0 0.0 0.0 VISLISTINDEX 1 FRONTTREE 0 BACKTREE 0 "
             "ENDVISNODE 1\n  VISIBLELIST 1 RANGE "
          << rooms;
      for (std::uint32_t r = 1; r <= rooms; ++r) {
        out << " " << r;
      }
      out << " ENDVISIBLELIST 1 ENDVISTREE\n";
    }
    out << "  SPHERE " << 10.0f * static_cast<float>(k) - 5.0f << " 5.0 0.0 8.0\nENDREGION " << k
        << "\n";
  }
  const std::uint32_t nodes = 2 * rooms - 1;
  out << "WORLDTREE NUMWORLDNODES " << nodes << "\n";
  for (std::uint32_t j = 1; j < rooms; ++j) {
    const std::uint32_t node = 2 * j - 1;
    out << "  WORLDNODE " << node << " NORMALABCD 1.0 0.0 0.0 " << -10.0f * static_cast<float>(j)
        << " WORLDREGIONTAG 0 FRONTTREE " << node + 2 << " BACKTREE " << node + 1
        << " ENDWORLDNODE " << node << "\n  WORLDNODE " << node + 1
        << " NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG " << j
        << " FRONTTREE 0 BACKTREE 0 ENDWORLDNODE " << node + 1 << "\n";
  }
  out << "  WORLDNODE " << nodes << " NORMALABCD 0.0 0.0 0.0 0.0 WORLDREGIONTAG " << rooms
      << " FRONTTREE 0 BACKTREE 0 ENDWORLDNODE " << nodes << "\nENDWORLDTREE\nENDWORLD rooms\n";
  return out.str();
}

class WorldDrawTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    _r3xInitMathTables();
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    palette_[0] = {0, 200, 0, 0};
    render_->paletteColours = palette_;
    render_->glide = glide_;
    camera_.region = 0;
    camera_.halfFieldOfView = 64.0f;
    camera_.aspect = 1.0f;
    camera_.nearDistance = 1.0f;
    camera_.farDistance = 100.0f;
    camera_.viewWidth = 640;
    camera_.viewHeight = 480;
  }
  void TearDown() override {
    if (list_ != nullptr) {
      *list_ = savedList_;
    }
    r3xDestroyWorld(world_);
    _r3xFreeMathTables();
    DisplayTest::TearDown();
  }
  void Load(std::uint32_t rooms, const std::string& method = "SOLIDFILL",
            bool splitFirstRoom = false) {
    folder_.Write("test.wld", RoomsWorld(rooms, method, splitFirstRoom));
    ASSERT_EQ(r3xLoadWorldFile("test.wld", world_, nullptr, nullptr, nullptr, nullptr), 0);
    regions_ = rooms;
  }
  R3xMeshGeometry* Geometry(std::int32_t region) {
    return static_cast<R3xMeshGeometry*>(r3xGetRegion(world_, region)->geometry);
  }
  // The camera region's visible list replaced by these codes for the test.
  void SetCodes(std::vector<std::uint16_t> codes, bool encoded) {
    codes_ = std::move(codes);
    R3xMeshGeometry* geometry = Geometry(camera_.region);
    geometry->encodedVisibility = encoded ? 1 : 0;
    list_ = &geometry->visLists[0];
    savedList_ = *list_;
    *list_ = {static_cast<std::uint32_t>(codes_.size()), codes_.data()};
  }
  std::int32_t Draw() {
    const std::int32_t begun = r3xGlideBeginFrame(world_, render_, &camera_);
    if (begun < 0) {
      return begun;
    }
    return r3xGlideDrawWorld(world_, render_, &camera_);
  }
  std::set<std::uint32_t> Stamped() const {
    std::set<std::uint32_t> stamped;
    for (std::uint32_t i = 0; i < render_->regionStampCapacity; ++i) {
      if (render_->regionStamps[i] == render_->visitStamp) {
        stamped.insert(i);
      }
    }
    return stamped;
  }

  test_support::ScratchFolder folder_;
  test_support::ScopedWorkingFolder working_{folder_.Path()};
  R3xWorld* world_ = nullptr;
  std::uint32_t regions_ = 0;
  PALETTEENTRY palette_[256]{};
  R3xCamera camera_{};
  std::vector<std::uint16_t> codes_;
  R3xVisibleList* list_ = nullptr;
  R3xVisibleList savedList_{};
};

struct CodeCase {
  const char* name;
  std::vector<std::uint16_t> codes;
  bool encoded;
  std::set<std::uint32_t> stamped;
};

TEST_F(WorldDrawTest, VisibleListsStampTheRegionsTheirCodesName) {
  const CodeCase cases[] = {
      {"skip 1 then stamp 3", {0x4000 | 1 << 7 | 3}, true, {1, 2, 3}},
      {"stamp 2 then skip 3, then stamp 1", {0x8000 | 2 << 7 | 3, 0xC001}, true, {0, 1, 5}},
      {"skip 4, stamp 2", {0x0004, 0xC002}, true, {4, 5}},
      {"empty runs", {0xC000, 0x0000, 0x4000, 0x8000}, true, {}},
      {"coded list leaves the own region", {0x0003, 0xC001}, true, {3}},
      {"plain list stamps the own region too", {4, 6}, false, {0, 4, 6}},
      // Runs and indexes past the last region stop there, whatever the capacity beyond.
      {"run past the regions", {0x0006, 0xC000 | 500}, true, {6, 7}},
      {"skip past the regions", {0x3FFF, 0xC000 | 0x3FFF}, true, {}},
      {"plain index past the regions", {2, 8, 107, 0xFFFF}, false, {0, 2}},
  };
  Load(8);
  for (const CodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    render_->lastDecodedRegion = -1;
    if (list_ != nullptr) {
      *list_ = savedList_;
    }
    SetCodes(c.codes, c.encoded);
    camera_.x = 5.0f;
    camera_.y = 5.0f;
    camera_.z = 5.0f;
    ASSERT_EQ(Draw(), 0);
    EXPECT_EQ(Stamped(), c.stamped);
    EXPECT_EQ(render_->regionStampCapacity, regions_ + 100);
  }
}

TEST_F(WorldDrawTest, TheVisibleListIsDecodedOnceForARegion) {
  Load(4);
  SetCodes({0xC002}, true);
  ASSERT_EQ(Draw(), 0);
  const std::uint32_t stamp = render_->visitStamp;
  // Another list in the same region is not read: the camera has not left it.
  codes_[0] = 0xC004;
  camera_.x = 8.0f;
  ASSERT_EQ(Draw(), 0);
  EXPECT_EQ(render_->visitStamp, stamp);
  EXPECT_EQ(Stamped(), (std::set<std::uint32_t>{0, 1}));
  camera_.region = 1;
  camera_.x = 15.0f;
  ASSERT_EQ(Draw(), 0);
  EXPECT_EQ(render_->visitStamp, stamp + 1);
  EXPECT_EQ(Stamped(), (std::set<std::uint32_t>{0, 1, 2, 3}));
}

// The camera's side of each split of its region's tree leads to its leaf's visible list.
TEST_F(WorldDrawTest, TheCameraDescendsToTheLeafOnItsSideOfTheSplit) {
  Load(3, "SOLIDFILL", true);
  ASSERT_EQ(Geometry(0)->visNodeCount, 3u);
  const std::pair<float, std::set<std::uint32_t>> cases[] = {{7.0f, {0, 1}}, {3.0f, {0, 2}}};
  for (const auto& [x, stamped] : cases) {
    SCOPED_TRACE(x);
    render_->lastDecodedRegion = -1;
    camera_.x = x;
    camera_.y = 5.0f;
    camera_.z = 5.0f;
    ASSERT_EQ(Draw(), 0);
    EXPECT_EQ(Stamped(), stamped);
  }
}

// A region's list is decoded when the camera enters it: crossing into another leaf of the same
// region keeps the visible set; leaving and coming back decodes the new leaf's list.
TEST_F(WorldDrawTest, MovingBetweenTwoLeavesOfOneRegionKeepsTheVisibleSet) {
  Load(3, "SOLIDFILL", true);
  camera_.x = 7.0f;
  camera_.y = 5.0f;
  camera_.z = 5.0f;
  ASSERT_EQ(Draw(), 0);
  const std::uint32_t stamp = render_->visitStamp;
  camera_.x = 3.0f;
  ASSERT_EQ(Draw(), 0);
  EXPECT_EQ(render_->visitStamp, stamp);
  EXPECT_EQ(Stamped(), (std::set<std::uint32_t>{0, 1}));
  camera_.region = 1;
  camera_.x = 15.0f;
  ASSERT_EQ(Draw(), 0);
  camera_.region = 0;
  camera_.x = 3.0f;
  ASSERT_EQ(Draw(), 0);
  EXPECT_EQ(render_->visitStamp, stamp + 2);
  EXPECT_EQ(Stamped(), (std::set<std::uint32_t>{0, 2}));
}

TEST_F(WorldDrawTest, BeginFrameSetsTheSoftwareDrawersViewInputs) {
  Load(1);
  camera_.rowLength = 704;
  camera_.viewOrigin = 96;
  render_->mipDistanceFactor = 0.25f;
  render_->raster.areaFactor = 0.5f;
  render_->raster.pixelCount = 12;
  ASSERT_GE(r3xGlideBeginFrame(world_, render_, &camera_), 0);
  const R3xRasterInputs& raster = render_->raster;
  EXPECT_EQ(raster.rowLength, 704);
  EXPECT_EQ(raster.viewOrigin, 96u);
  EXPECT_EQ(raster.screenToView[0], 2.0f / 639.0f);
  EXPECT_EQ(raster.screenToView[1], 2.0f / 479.0f);
  EXPECT_EQ(raster.flatDistance, 1.0f + 99.0f * 0.25f);
  EXPECT_EQ(raster.perspectiveArea, 640.0f * 480.0f * 0.5f);
  EXPECT_EQ(raster.pixelCount, 0u);
}

TEST_F(WorldDrawTest, ACameraOutsideTheRegionsDrawsNothing) {
  Load(2);
  ASSERT_GE(r3xGlideBeginFrame(world_, render_, &camera_), 0);
  for (const std::int32_t region : {-1, 2, 100000}) {
    camera_.region = region;
    Record();
    EXPECT_EQ(r3xGlideDrawWorld(world_, render_, &camera_), 0);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(r3xGetRegionCount(render_), 0u);
  }
}

// The camera at the origin looking down +x: view x is world -y, view y is world z. A quarter
// turn of field of view: the sides are x' = ±z' and y' = ±z'.
struct SphereCase {
  const char* name;
  float x, y, z, radius;
  bool drawn;
  std::uint32_t flags;
};

TEST_F(WorldDrawTest, RegionSpheresAreCulledByTheViewVolumeAndFlagThePlanesTheyCross) {
  const SphereCase cases[] = {
      {"inside", 10, 0, 0, 1, true, 0},
      {"across the left side", 10, 9, 0, 1, true, R3X_CLIP_LEFT},
      {"outside the left side", 10, 12, 0, 1, false, 0},
      {"across the right side", 10, -9, 0, 1, true, R3X_CLIP_RIGHT},
      {"outside the right side", 10, -12, 0, 1, false, 0},
      {"across the bottom", 10, 0, -9, 1, true, R3X_CLIP_BOTTOM},
      {"outside the bottom", 10, 0, -12, 1, false, 0},
      {"across the top", 10, 0, 9, 1, true, R3X_CLIP_TOP},
      {"outside the top", 10, 0, 12, 1, false, 0},
      {"across the near plane", 1.5f, 0, 0, 1, true, R3X_CLIP_NEAR},
      {"centre behind the camera", -0.5f, 0, 0, 2, true, 0x1F},
      {"wholly before the near plane", -5, 0, 0, 1, false, 0},
      {"across the far plane", 99.5f, 0, 0, 1, true, R3X_CLIP_FAR},
      {"beyond the far plane", 102, 0, 0, 1, false, 0},
  };
  Load(1);
  camera_.x = 0.0f;
  camera_.y = 0.0f;
  camera_.z = 0.0f;
  R3xRegion* region = r3xGetRegion(world_, 0);
  for (const SphereCase& c : cases) {
    SCOPED_TRACE(c.name);
    region->bounds.x = c.x;
    region->bounds.y = c.y;
    region->bounds.z = c.z;
    region->bounds.radius = c.radius;
    render_->planeMask = 0xFF;
    ASSERT_EQ(Draw(), 0);
    EXPECT_EQ(r3xGetRegionCount(render_), c.drawn ? 1u : 0u);
    if (c.drawn) {
      EXPECT_EQ(render_->planeMask, c.flags);
    }
  }
}

// Above room 1 looking straight down at its floor.
TEST_F(WorldDrawTest, FrontFacesOfVisibleRegionsAreDrawnAndOthersNever) {
  Load(1);
  camera_.x = 5.0f;
  camera_.y = 5.0f;
  camera_.z = 5.0f;
  camera_.pitch = -128.0f;
  ASSERT_EQ(r3xGlideClear(glide_, 1, 1, 0, 0, 0), 0);
  ASSERT_EQ(Draw(), 0);
  EXPECT_EQ(r3xGetPolygonCount(render_), 1u);
  EXPECT_EQ(BackPixel(320, 240), Rgb565(0, 200, 0));
  // From below, the floor turns its back.
  camera_.z = -5.0f;
  camera_.pitch = 128.0f;
  ASSERT_EQ(Draw(), 0);
  EXPECT_EQ(r3xGetPolygonCount(render_), 0u);
  // Render method 0, given or through the indirect table, is never drawn.
  camera_.z = 5.0f;
  camera_.pitch = -128.0f;
  R3xSurface& surface = Geometry(0)->faces[0].surface;
  const R3xRenderMethod method = surface.renderMethod;
  R3xRenderMethod indirect[1] = {0};
  render_->indirect = {1, indirect};
  for (const R3xRenderMethod word :
       {R3xRenderMethod{0}, R3X_RENDER_INDIRECT | 0u, R3X_RENDER_INDIRECT | 5u}) {
    surface.renderMethod = word;
    ASSERT_EQ(Draw(), 0);
    EXPECT_EQ(r3xGetPolygonCount(render_), 0u);
  }
  indirect[0] = method;
  surface.renderMethod = R3X_RENDER_INDIRECT | 0u;
  ASSERT_EQ(Draw(), 0);
  EXPECT_EQ(r3xGetPolygonCount(render_), 1u);
  surface.renderMethod = method;
  render_->indirect = {0, nullptr};
}

// Queued polygons carry the fog distance only in fog mode 2; drawing them leaves the render
// context's own fog distance as it was.
TEST_F(WorldDrawTest, QueuedPolygonsCarryTheFogDistanceOfModeTwoOnly) {
  Load(1);
  camera_.x = 5.0f;
  camera_.y = 5.0f;
  camera_.z = 5.0f;
  camera_.pitch = -128.0f;
  render_->fogDistance = 500.0f;
  for (const auto& [mode, carried] :
       {std::pair{R3X_FOG_MODE_2, 500.0f}, std::pair{R3X_FOG_MODE_1, 0.0f},
        std::pair{R3X_FOG_OFF, 0.0f}}) {
    SCOPED_TRACE(mode);
    render_->fogMode = mode;
    render_->queuedFogDistance = -1.0f;
    ASSERT_EQ(Draw(), 0);
    ASSERT_EQ(r3xGetPolygonCount(render_), 1u);
    EXPECT_EQ(render_->queuedFogDistance, carried);
    EXPECT_EQ(render_->fogDistance, 500.0f);
  }
}

TEST_F(WorldDrawTest, StampsThatCannotBeMadeFailTheFrame) {
  Load(2);
  {
    test_support::FailingMemory memory(0);
    EXPECT_EQ(r3xGlideBeginFrame(world_, render_, &camera_), R3X_GLIDE_WORLD_NO_MEMORY);
    EXPECT_EQ(r3xGlideDrawWorld(world_, render_, &camera_), R3X_GLIDE_WORLD_NO_MEMORY);
  }
  EXPECT_EQ(Draw(), 0);
  EXPECT_EQ(render_->regionStampCapacity, 102u);
}

// A polygon that cannot be drawn (an untextured one without palette colours), or vertex arrays
// that cannot grow for one, end the frame's passes with their result: nothing more is drawn,
// and the next frame draws again.
TEST_F(WorldDrawTest, FailuresInThePassesEndTheFrameWithTheirResult) {
  struct Case {
    const char* name;
    bool withoutPaletteColours;
    bool withoutVertexArrays;
    std::int32_t result;
  };
  const Case cases[] = {
      {"a polygon that cannot be drawn", true, false, R3X_GLIDE_POLYGON_FAILED},
      {"vertex arrays that cannot grow", false, true, R3X_GLIDE_WORLD_INCOMPLETE},
  };
  Load(1);
  camera_.x = 5.0f;
  camera_.y = 5.0f;
  camera_.z = 5.0f;
  camera_.pitch = -128.0f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_GE(r3xGlideBeginFrame(world_, render_, &camera_), 0);
    if (c.withoutPaletteColours) {
      render_->paletteColours = nullptr;
    }
    if (c.withoutVertexArrays) {
      _r3xFreeVertexArrays(&render_->work);
    }
    {
      test_support::FailingMemory memory(0);
      EXPECT_EQ(r3xGlideDrawWorld(world_, render_, &camera_), c.result);
    }
    EXPECT_EQ(r3xGetPolygonCount(render_), 0u);
    render_->paletteColours = palette_;
    ASSERT_EQ(Draw(), 0);
    EXPECT_EQ(r3xGetPolygonCount(render_), 1u);
  }
}

// What the board sees of a frame: the depth state first, the floor in the untextured pass, and
// depth writes and table fog back on at the end.
TEST_F(WorldDrawTest, AFrameSetsTheDepthStateDrawsAndRestoresDepthWritesAndFog) {
  Load(1);
  camera_.x = 5.0f;
  camera_.y = 5.0f;
  camera_.z = 5.0f;
  camera_.pitch = -128.0f;
  render_->depthBuffering = 1;
  Record();
  ASSERT_EQ(Draw(), 0);
  const std::vector<std::string> calls = Calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls.front(), "grDepthBufferMode(" + std::to_string(GR_DEPTHBUFFER_WBUFFER) + ")");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "grDrawPolygonVertexList(4)"), 1);
  EXPECT_EQ(calls[calls.size() - 2], "grDepthMask(1)");
  EXPECT_EQ(calls.back(), "grFogMode(" + std::to_string(GR_FOG_WITH_TABLE) + ")");
}

// The demo arena seen from near one corner toward the far one, with a box actor between.
class ArenaDrawTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    _r3xInitMathTables();
    pack_ = r3xOpenWad(ARENA_DEMO_PACK, 64);
    ASSERT_NE(pack_, nullptr);
    world_ = r3xCreateWorld(nullptr, 0, nullptr);
    ASSERT_EQ(r3xLoadWorldFile("arena.wld", world_, pack_, nullptr, nullptr, nullptr), 0);
    palette_ = r3xCreatePalette(world_, pack_, "palette.bmp", 1);
    ASSERT_NE(palette_, nullptr);
    ASSERT_EQ(r3xGlideAttach(glide_, render_, palette_), 0);
    r3xSetDepthBuffering(render_, 1);
    camera_.x = 60.0f;
    camera_.y = 60.0f;
    camera_.z = 20.0f;
    camera_.heading = 64.0f;
    const float position[3] = {camera_.x, camera_.y, camera_.z};
    camera_.region = r3xFindRegionIndexAt(world_, position);
    camera_.halfFieldOfView = 48.0f;
    camera_.aspect = 1.0f;
    camera_.nearDistance = 1.0f;
    camera_.farDistance = 2000.0f;
    camera_.viewWidth = 640;
    camera_.viewHeight = 480;
    auto* definition = reinterpret_cast<R3xActorDef*>(r3xFindTag(world_, "BOX_ACTORDEF"));
    ASSERT_NE(definition, nullptr);
    const R3xPlacement at{120.0f, 120.0f, 10.0f, 0.0f, 0.0f, 0.0f, 0};
    actor_ = r3xCreateActor(world_, definition, nullptr, &at, nullptr, nullptr, 8.0f, 0.0f, 0);
    ASSERT_NE(actor_, nullptr);
  }
  void TearDown() override {
    r3xGlideFreeTextures(glide_);
    r3xDestroyWorld(world_);
    r3xCloseWad(pack_);
    _r3xFreeMathTables();
    DisplayTest::TearDown();
  }
  std::int32_t Draw() {
    r3xGlideClear(glide_, 1, 1, 0, 0, 0);
    const std::int32_t begun = r3xGlideBeginFrame(world_, render_, &camera_);
    return begun < 0 ? begun : r3xGlideDrawWorld(world_, render_, &camera_);
  }

  R3xWad* pack_ = nullptr;
  R3xWorld* world_ = nullptr;
  R3xPalette* palette_ = nullptr;
  R3xCamera camera_{};
  R3xActor* actor_ = nullptr;
};

// The four floors and the two far walls of each far quadrant face the camera; the box shows
// three faces, one of them in the middle of the view.
TEST_F(ArenaDrawTest, ShownActorsAddTheirSpritesToTheFrame) {
  ASSERT_EQ(Draw(), 0);
  EXPECT_EQ(r3xGetRegionCount(render_), 5u);
  EXPECT_EQ(r3xGetPolygonCount(render_), 11u);
  const std::uint16_t box = BackPixel(320, 290);
  actor_->header.flags |= R3X_FLAG_HIDDEN;
  ASSERT_EQ(Draw(), 0);
  EXPECT_EQ(r3xGetPolygonCount(render_), 8u);
  EXPECT_NE(BackPixel(320, 290), box);
}

// A sprite that cannot be queued (here: its actor's vertex cache cannot be made) stops the frame
// before its passes; the next frame draws everything.
TEST_F(ArenaDrawTest, ASpriteThatCannotBeQueuedStopsTheFrameBeforeItsPasses) {
  ASSERT_EQ(Draw(), 0);
  r3xFree(actor_->vertexCache);
  actor_->vertexCache = nullptr;
  actor_->vertexCacheCapacity = 0;
  ASSERT_GE(r3xGlideBeginFrame(world_, render_, &camera_), 0);
  Record();
  {
    test_support::FailingMemory memory(0);
    EXPECT_EQ(r3xGlideDrawWorld(world_, render_, &camera_), R3X_GLIDE_WORLD_INCOMPLETE);
  }
  EXPECT_EQ(r3xGetPolygonCount(render_), 0u);
  const std::vector<std::string> calls = Calls();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& call) {
                            return call.rfind("grDrawPolygonVertexList", 0) == 0;
                          }),
            0);
  EXPECT_EQ(Draw(), 0);
  EXPECT_EQ(r3xGetPolygonCount(render_), 11u);
}

TEST_F(ArenaDrawTest, AnActorWorkArrayThatCannotGrowStopsTheFrame) {
  ASSERT_GE(r3xGlideBeginFrame(world_, render_, &camera_), 0);
  {
    test_support::FailingMemory memory(0);
    EXPECT_EQ(r3xGlideDrawWorld(world_, render_, &camera_), R3X_GLIDE_WORLD_NO_MEMORY);
  }
  EXPECT_EQ(r3xGetPolygonCount(render_), 0u);
  EXPECT_EQ(Draw(), 0);
  EXPECT_EQ(r3xGetPolygonCount(render_), 11u);
}

}  // namespace
