#include "battle/arena/arena_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/byte_writer.h"
#include "engine/r3x.h"
#include "tests/support/scratch_folder.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace {

using mkdata::AmpCell;
using mkdata::AmpLayer;
using mkdata::AmpMap;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Table entries of the fixture map.
constexpr std::uint8_t kHighTop = 1;  // 100
constexpr std::uint8_t kLowTop = 2;   // 10
constexpr std::uint8_t kFloor = 0;    // 0
constexpr std::uint8_t kDeck = 1;     // 20
constexpr std::uint8_t kSteep = 1;    // slope 16 per cell

AmpCell Cell(std::vector<AmpLayer> layers) {
  AmpCell cell;
  cell.count = static_cast<std::int16_t>(layers.size());
  cell.layers = std::move(layers);
  return cell;
}

// A 2 x 2 grid (x from +16 to -16, y from -16 to +16, cell centres at (+-8, +-8)):
// column 0 row 0 (8, -8): a deck from 20 to 100 over ground from 0 to 10;
// column 1 row 0 (-8, -8): flat ground at 0, open to 100;
// column 0 row 1 (8, 8): a ramp along x rising 16 across the cell;
// column 1 row 1 (-8, 8): a ramp along y rising 16 across the cell.
AmpMap FixtureMap() {
  AmpMap map;
  map.width = 2;
  map.height = 2;
  map.scale = 7;
  map.top[kHighTop] = 100.0f;
  map.top[kLowTop] = 10.0f;
  map.base[kFloor] = 0.0f;
  map.base[kDeck] = 20.0f;
  map.xSlope[kSteep] = 16.0f;
  map.ySlope[kSteep] = 16.0f;
  map.cells = {
      Cell({{0, kHighTop, kDeck, 0}, {0, kLowTop, kFloor, 0}}),
      Cell({{0, kHighTop, kFloor, 0}}),
      Cell({{1, kHighTop, kFloor, kSteep}}),
      Cell({{3, kHighTop, kFloor, kSteep}}),
  };
  return map;
}

// A flat open map of 8 x 8 cells from z = 0 to 100.
AmpMap FlatMap(std::int32_t side) {
  AmpMap map;
  map.width = side;
  map.height = side;
  map.scale = 7;
  map.top[kHighTop] = 100.0f;
  map.cells.assign(static_cast<std::size_t>(side * side), Cell({{0, kHighTop, kFloor, 0}}));
  return map;
}

class ArenaMapTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(r3xInit(), R3X_DONE); }
  void TearDown() override { r3xShutdown(); }
};

struct ValidityCase {
  const char* name;
  // Changes the fixture map or cuts its bytes.
  void (*edit)(AmpMap& map);
  // How many bytes of the written file are kept.
  std::size_t (*cut)(const mkdata::AmpLayout& layout);
  bool valid;
};

std::size_t KeepAll(const mkdata::AmpLayout& layout) { return layout.end; }
void NoEdit(AmpMap&) {}

TEST_F(ArenaMapTest, ValidityTable) {
  const ValidityCase cases[] = {
      {"good", NoEdit, KeepAll, true},
      {"trailing bytes are not read", NoEdit, [](const auto& l) { return l.end + 9; }, true},
      {"bad version",
       [](AmpMap& m) {
         m.version = {'0', '.', '9', '2', 0};
       },
       KeepAll, false},
      {"fifth byte not zero", [](AmpMap& m) { m.version[4] = 'x'; }, KeepAll, false},
      {"empty file", NoEdit, [](const auto&) -> std::size_t { return 0; }, false},
      {"cut in the version", NoEdit, [](const auto&) -> std::size_t { return 3; }, false},
      {"cut in the header", NoEdit, [](const auto& l) { return l.header + 6; }, false},
      {"cut in the cells", NoEdit, [](const auto& l) { return l.cells + 7; }, false},
      {"cut in the top table", NoEdit, [](const auto& l) { return l.top + 100; }, false},
      {"cut in the base table", NoEdit, [](const auto& l) { return l.base + 1; }, false},
      {"cut in the x-slope table", NoEdit, [](const auto& l) { return l.xSlope + 1023; }, false},
      {"cut in the y-slope table", NoEdit, [](const auto& l) { return l.end - 1; }, false},
      {"layer count 0", [](AmpMap& m) { m.cells[1].count = 0; }, KeepAll, true},
      {"negative layer count", [](AmpMap& m) { m.cells[1].count = -5; }, KeepAll, true},
      {"width 0",
       [](AmpMap& m) {
         m.width = 0;
         m.cells.clear();
       },
       KeepAll, true},
      {"negative height",
       [](AmpMap& m) {
         m.height = -3;
         m.cells.clear();
       },
       KeepAll, true},
  };
  for (const ValidityCase& c : cases) {
    SCOPED_TRACE(c.name);
    AmpMap map = FixtureMap();
    c.edit(map);
    mkdata::AmpLayout layout;
    std::vector<std::uint8_t> bytes = mkdata::EncodeArenaMap(map, &layout);
    bytes.resize(c.cut(layout), 0xEE);
    const CArenaMap arenaMap(bytes);
    EXPECT_EQ(arenaMap.IsValid(), c.valid);
  }
}

TEST_F(ArenaMapTest, ReadsHeaderAndLayersFromAFile) {
  AmpMap map = FixtureMap();
  map.cells[1].count = 0;
  map.cells[2].count = -2;
  AmpCell three = Cell({{0, kHighTop, kDeck, 0}, {0, kLowTop, kFloor, 0}, {4, 3, 4, 5}});
  map.cells[3] = three;
  test_support::ScratchFolder folder("arena_map");
  const std::string file = folder.Write("arena.amp", mkdata::EncodeArenaMap(map));
  const CArenaMap arenaMap(file);
  ASSERT_TRUE(arenaMap.IsValid());
  EXPECT_EQ(arenaMap.GetWidth(), 2);
  EXPECT_EQ(arenaMap.GetHeight(), 2);
  EXPECT_FLOAT_EQ(arenaMap.GetMaxHeight(), 7 * 16.0f);
  EXPECT_EQ(arenaMap.GetLayers(0, 0).size(), 2u);
  // Counts 0 and below hold one layer.
  EXPECT_EQ(arenaMap.GetLayers(1, 0).size(), 1u);
  EXPECT_EQ(arenaMap.GetLayers(0, 1).size(), 1u);
  const auto last = arenaMap.GetLayers(1, 1);
  ASSERT_EQ(last.size(), 3u);
  EXPECT_EQ(last[2].kind, 4);
  EXPECT_EQ(last[2].topIndex, 3);
  EXPECT_EQ(last[2].baseIndex, 4);
  EXPECT_EQ(last[2].slopeIndex, 5);
  EXPECT_TRUE(arenaMap.GetLayers(2, 0).empty());
}

TEST_F(ArenaMapTest, MissingFileIsNotValid) {
  test_support::ScratchFolder folder("arena_map");
  EXPECT_FALSE(CArenaMap(folder / "none.amp").IsValid());
}

TEST_F(ArenaMapTest, SizesTheFileCannotHoldAreRefusedBeforeAllocating) {
  const std::int32_t sizes[][2] = {{0x7FFFFFFF, 0x7FFFFFFF},
                                   {8192, 8192},
                                   // 6 bytes a cell and the tables come to 2^64 + 4092 bytes:
                                   // the size must not wrap to what the file holds.
                                   {0x7FFFFFFF, 1431655766}};
  for (const auto& size : sizes) {
    AmpMap map = FlatMap(1);
    std::vector<std::uint8_t> bytes = mkdata::EncodeArenaMap(map);
    arena::ByteWriter header;
    header.I32(size[0]);
    header.I32(size[1]);
    const std::vector<std::uint8_t> patch = header.Take();
    std::copy(patch.begin(), patch.end(), bytes.begin() + 5);
    const CArenaMap arenaMap(bytes);
    EXPECT_FALSE(arenaMap.IsValid()) << size[0] << " x " << size[1];
  }
}

TEST_F(ArenaMapTest, LongSidesAreReadWhenTheFileHoldsEveryCell) {
  const std::int32_t sizes[][2] = {{8193, 1}, {1, 8193}, {20000, 3}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
    AmpMap map = FlatMap(1);
    map.width = size[0];
    map.height = size[1];
    map.top[kLowTop] = 10.0f;
    map.base[kDeck] = 20.0f;
    map.cells.assign(static_cast<std::size_t>(size[0]) * static_cast<std::size_t>(size[1]),
                     Cell({{0, kHighTop, kFloor, 0}}));
    map.cells.back() = Cell({{0, kHighTop, kDeck, 0}, {0, kLowTop, kFloor, 0}});
    const CArenaMap arenaMap(mkdata::EncodeArenaMap(map));
    ASSERT_TRUE(arenaMap.IsValid());
    EXPECT_EQ(arenaMap.GetWidth(), size[0]);
    EXPECT_EQ(arenaMap.GetHeight(), size[1]);
    // The last cell, at the -x and +y corner, holds the deck over the floor.
    EXPECT_EQ(arenaMap.GetLayers(size[0] - 1, size[1] - 1).size(), 2u);
    const float corner[3] = {-static_cast<float>(size[0]) * 8.0f + 8.0f,
                             static_cast<float>(size[1]) * 8.0f - 8.0f, 30.0f};
    float height = 0.0f;
    EXPECT_EQ(arenaMap.GroundHeight(corner, &height), 0);
    EXPECT_EQ(height, 20.0f);
  }
}

TEST_F(ArenaMapTest, MapWithoutCellsAnswersNo) {
  AmpMap map = FixtureMap();
  map.width = 0;
  map.cells.clear();
  const CArenaMap arenaMap(mkdata::EncodeArenaMap(map));
  ASSERT_TRUE(arenaMap.IsValid());
  const float point[3] = {0.0f, 0.0f, 50.0f};
  float height = 0.0f;
  float normal[3];
  float sx = 0.0f;
  float sy = 0.0f;
  EXPECT_EQ(arenaMap.LayerAtPoint(point), 0);
  EXPECT_EQ(arenaMap.GroundHeight(point, &height), -1);
  EXPECT_EQ(arenaMap.GetSurface(point, normal, &sx, &sy, &height), -1);
  EXPECT_EQ(arenaMap.IsSegmentClear(point, point), 0);
  EXPECT_EQ(arenaMap.IsBoxClear(point, point), 0);
}

struct GroundCase {
  const char* name;
  float point[3];
  int layer;
  int result;
  float height;
};

TEST_F(ArenaMapTest, LayerAndGroundHeight) {
  const CArenaMap arenaMap(mkdata::EncodeArenaMap(FixtureMap()));
  ASSERT_TRUE(arenaMap.IsValid());
  const GroundCase cases[] = {
      {"on the deck", {8, -8, 30}, 1, 0, 20.0f},
      {"1.5 below the deck counts as on it", {8, -8, 18.5f}, 0, 0, 20.0f},
      {"2.5 below the deck falls to the ground, in solid", {8, -8, 17.5f}, 0, -1, 0.0f},
      {"under the deck", {8, -8, 5}, 2, 0, 0.0f},
      {"above the first layer's top", {8, -8, 150}, 0, -1, 20.0f},
      {"open ground", {-8, -8, 1}, 1, 0, 0.0f},
      {"below all ground", {-8, -8, -3}, 0, -1, 0.0f},
      {"ramp along x, halfway up", {8, 8, 9}, 1, 0, 8.0f},
      {"ramp along y, a quarter up", {-8, 4, 5}, 1, 0, 4.0f},
      {"the -x edge is the last column", {-16, -8, 1}, 1, 0, 0.0f},
      {"beyond the grid clamps into it", {500, -8, 30}, 1, 0, 20.0f},
  };
  for (const GroundCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(arenaMap.LayerAtPoint(c.point), c.layer);
    float height = 123.0f;
    EXPECT_EQ(arenaMap.GroundHeight(c.point, &height), c.result);
    EXPECT_FLOAT_EQ(height, c.height);
  }
}

TEST_F(ArenaMapTest, PointsThatAreNotNumbersHaveNoGround) {
  const CArenaMap arenaMap(mkdata::EncodeArenaMap(FixtureMap()));
  const float points[][3] = {{kNaN, 0, 10}, {0, kInf, 10}, {8, -8, kNaN}, {-kInf, 0, 10}};
  for (const auto& point : points) {
    float height = 0.0f;
    EXPECT_EQ(arenaMap.LayerAtPoint(point), 0);
    EXPECT_EQ(arenaMap.GroundHeight(point, &height), -1);
    EXPECT_EQ(arenaMap.IsSegmentClear(point, point), 0);
    EXPECT_EQ(arenaMap.IsBoxClear(point, point), 0);
  }
}

TEST_F(ArenaMapTest, SurfaceNormalsAndSlopes) {
  const CArenaMap arenaMap(mkdata::EncodeArenaMap(FixtureMap()));
  struct {
    float point[3];
    float slopeX;
    float slopeY;
    float normal[3];
    float height;
  } const cases[] = {
      {{8, 8, 9}, -1.0f, 0.0f, {0.70710677f, 0.0f, 0.70710677f}, 8.0f},
      {{-8, 8, 9}, 0.0f, 1.0f, {0.0f, -0.70710677f, 0.70710677f}, 8.0f},
      {{-8, -8, 1}, 0.0f, 0.0f, {0.0f, 0.0f, 1.0f}, 0.0f},
  };
  for (const auto& c : cases) {
    float normal[3];
    float sx = 5.0f;
    float sy = 5.0f;
    float height = 0.0f;
    ASSERT_EQ(arenaMap.GetSurface(c.point, normal, &sx, &sy, &height), 0);
    EXPECT_FLOAT_EQ(sx, c.slopeX);
    EXPECT_FLOAT_EQ(sy, c.slopeY);
    EXPECT_FLOAT_EQ(height, c.height);
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(normal[i], c.normal[i], 1e-4f);
    }
  }
  float sx = 5.0f;
  float sy = 5.0f;
  float height = 0.0f;
  const float point[3] = {8, 8, 9};
  EXPECT_EQ(arenaMap.GetSurface(point, nullptr, &sx, &sy, &height), -1);
  EXPECT_EQ(sx, 0.0f);
  EXPECT_EQ(height, -1.0f);
}

TEST_F(ArenaMapTest, BadKindIsBadData) {
  AmpMap map = FixtureMap();
  map.cells[1].layers[0].kind = 5;
  map.cells[2].layers[0].kind = -1;
  const CArenaMap arenaMap(mkdata::EncodeArenaMap(map));
  ASSERT_TRUE(arenaMap.IsValid());
  const float bad[3] = {-8, -8, 5};
  const float badNegative[3] = {8, 8, 50};
  float height = 0.0f;
  EXPECT_EQ(arenaMap.LayerAtPoint(bad), -1);
  EXPECT_EQ(arenaMap.LayerAtPoint(badNegative), -1);
  EXPECT_EQ(arenaMap.GroundHeight(bad, &height), -1);
  EXPECT_EQ(arenaMap.IsSegmentClear(bad, bad), -1);
  const float low[3] = {-12, -12, 5};
  const float high[3] = {-4, -4, 6};
  EXPECT_EQ(arenaMap.IsBoxClear(low, high), -1);
  EXPECT_EQ(arenaMap.IsSweptBoxClear(bad, bad, 1.0f), -1);
}

struct SegmentCase {
  const char* name;
  float start[3];
  float end[3];
  int clear;
};

TEST_F(ArenaMapTest, SegmentClearance) {
  const CArenaMap arenaMap(mkdata::EncodeArenaMap(FixtureMap()));
  const SegmentCase cases[] = {
      {"zero length in open space", {-8, -8, 50}, {-8, -8, 50}, 1},
      {"zero length in solid", {8, -8, 15}, {8, -8, 15}, 0},
      {"one cell, two layers", {8, -8, 5}, {8, -8, 50}, 0},
      {"across all four cells above the ramps", {8, -8, 50}, {-8, 8, 50}, 1},
      {"from under the deck into the open cell: a layer change at a border",
       {8, -8, 5},
       {-8, -8, 5},
       1},
      {"from the open cell into the deck's solid", {-8, -8, 15}, {8, -8, 15}, 0},
      {"into the ramp along x", {-8, -8, 5}, {12, 8, 5}, 0},
      {"along one row", {15, -4, 50}, {-15, -4, 50}, 1},
      {"along one column", {-4, -15, 50}, {-4, 15, 50}, 1},
      {"on the -x edge", {-16, -8, 50}, {-8, -8, 50}, 0},
      {"leaving the grid", {-8, -8, 50}, {-8, -30, 50}, 0},
      {"above the top", {-8, -8, 50}, {-8, -8, 150}, 0},
  };
  for (const SegmentCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(arenaMap.IsSegmentClear(c.start, c.end), c.clear);
    // A cube of half size 0 is the segment eight times.
    EXPECT_EQ(arenaMap.IsSweptBoxClear(c.start, c.end, 0.0f), c.clear);
  }
  const float start[3] = {-8, -8, 50};
  const float end[3] = {-8, -8, 96};
  EXPECT_EQ(arenaMap.IsSweptBoxClear(start, end, 3.0f), 1);
  EXPECT_EQ(arenaMap.IsSweptBoxClear(start, end, 5.0f), 0);
}

// Every direction through a larger open map, including runs along rows, columns and cell
// borders, ends the walk with clear.
TEST_F(ArenaMapTest, SegmentWalkEndsInEveryDirection) {
  const CArenaMap arenaMap(mkdata::EncodeArenaMap(FlatMap(8)));
  for (int i = 0; i < 720; ++i) {
    const float angle = static_cast<float>(i) * 0.5f * 3.14159265f / 180.0f;
    const float length = i % 3 == 0 ? 60.0f : 12.3f * static_cast<float>(i % 5);
    const float start[3] = {static_cast<float>(i % 7) - 3.0f, 0.0f, 40.0f};
    const float end[3] = {start[0] + std::cos(angle) * length, std::sin(angle) * length, 60.0f};
    EXPECT_EQ(arenaMap.IsSegmentClear(start, end), 1) << "angle step " << i;
  }
  const float borders[][2][3] = {{{0, -60, 50}, {0, 60, 50}},
                                 {{-60, 16, 50}, {60, 16, 50}},
                                 {{48, -48, 50}, {-48, 48, 50}},
                                 {{1e-6f, -60, 50}, {-1e-6f, 60, 50}}};
  for (const auto& segment : borders) {
    EXPECT_EQ(arenaMap.IsSegmentClear(segment[0], segment[1]), 1);
  }
}

struct BoxCase {
  const char* name;
  float low[3];
  float high[3];
  int clear;
};

TEST_F(ArenaMapTest, BoxClearance) {
  const CArenaMap arenaMap(mkdata::EncodeArenaMap(FixtureMap()));
  const BoxCase cases[] = {
      {"inside the open cell", {-12, -12, 5}, {-4, -4, 50}, 1},
      {"first layer: the high height is not tested", {-12, -12, 50}, {-4, -4, 150}, 1},
      {"under the deck reaching into its solid", {4, -12, 5}, {12, -4, 15}, 0},
      {"under the deck and beside it", {-12, -12, 5}, {12, -4, 8}, 1},
      {"low height in solid", {4, -12, 15}, {12, -4, 16}, 0},
      {"over all four cells above the ramps", {-15, -15, 40}, {15, 15, 60}, 1},
      {"one corner on the -x edge", {-16, -12, 40}, {-4, -4, 60}, 0},
      {"beyond the +y edge", {-12, 4, 40}, {-4, 16, 60}, 0},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(arenaMap.IsBoxClear(c.low, c.high), c.clear);
  }
}

// The demo arena's map follows its world: open floor inside the walls, solid outside, the post's
// cell raised to the post's top and the ramp rising toward +x.
TEST_F(ArenaMapTest, DemoArenaMapMatchesItsWorld) {
  const CArenaMap arenaMap(mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
  ASSERT_TRUE(arenaMap.IsValid());
  EXPECT_GE(arenaMap.GetMaxHeight(), 100.0f);
  struct {
    float point[3];
    int result;
    float height;
  } const cases[] = {
      {{100, 100, 1}, 0, 0.0f},       {{399, 399, 1}, 0, 0.0f},     {{1, 1, 1}, 0, 0.0f},
      {{-100, 100, 1}, -1, -1000.0f}, {{100, -5, 1}, -1, -1000.0f}, {{300, 100, 21}, 0, 20.0f},
      {{100, 100, 99}, 0, 0.0f},      {{100, 100, 101}, -1, 0.0f},
  };
  for (const auto& c : cases) {
    float height = 0.0f;
    EXPECT_EQ(arenaMap.GroundHeight(c.point, &height), c.result)
        << c.point[0] << ", " << c.point[1] << ", " << c.point[2];
    EXPECT_FLOAT_EQ(height, c.height);
  }
  // On the ramp the ground follows the triangle's plane, z = (x - 250) x 0.2, to within one
  // cell's step.
  for (const float x : {262.0f, 278.0f, 290.0f}) {
    const float point[3] = {x, 295.0f, 15.0f};
    float height = 0.0f;
    ASSERT_EQ(arenaMap.GroundHeight(point, &height), 0) << x;
    EXPECT_NEAR(height, (x - 250.0f) * 0.2f, 0.01f) << x;
  }
  const float across[2][3] = {{20, 20, 10}, {380, 380, 60}};
  EXPECT_EQ(arenaMap.IsSegmentClear(across[0], across[1]), 1);
  const float low[3] = {20, 20, 1};
  const float high[3] = {60, 60, 10};
  EXPECT_EQ(arenaMap.IsBoxClear(low, high), 1);
}

}  // namespace
