#include "tools/mkdata/demo_arena_map.h"

namespace mkdata {

namespace {

// 50 x 50 cells of 16 units cover -400 .. 400 on both axes; the world's square 0 .. 400 is
// columns 0 .. 24 (x from 400 down to 0) and rows 25 .. 49 (y from 0 up to 400).
constexpr std::int32_t kSide = 50;
constexpr std::int32_t kLastOpenColumn = 24;
constexpr std::int32_t kFirstOpenRow = 25;
constexpr float kCell = 16.0f;

// Table entries.
constexpr std::uint8_t kOpenTop = 0;
constexpr std::uint8_t kSolidTop = 1;
constexpr std::uint8_t kFloorBase = 0;
constexpr std::uint8_t kPostBase = 1;
constexpr std::uint8_t kSolidBase = 2;
// Ramp bases per column from this entry on.
constexpr std::uint8_t kRampBase = 3;
constexpr std::uint8_t kRampSlope = 1;

constexpr float kWallTop = 100.0f;
constexpr float kPostTop = 20.0f;

// The ramp is the triangle (250, 250, 0), (250, 300, 0), (300, 300, 10): it rises 0.2 per unit
// toward +x, over x >= 250 and y between x and 300.
constexpr float kRampRise = 0.2f;
constexpr float kRampStartX = 250.0f;
bool IsOnRamp(float x, float y) { return x >= kRampStartX && y <= 300.0f && y >= x; }

// The post is the edge from (300, 100, 0) to (300, 100, 20).
constexpr float kPostX = 300.0f;
constexpr float kPostY = 100.0f;

float CellCentreX(std::int32_t column) { return kSide * 8.0f - (column + 0.5f) * kCell; }
float CellCentreY(std::int32_t row) { return -kSide * 8.0f + (row + 0.5f) * kCell; }

AmpCell OneLayer(std::int8_t kind, std::uint8_t top, std::uint8_t base, std::uint8_t slope) {
  AmpCell cell;
  cell.count = 1;
  cell.layers = {AmpLayer{kind, top, base, slope}};
  return cell;
}

}  // namespace

AmpMap BuildDemoArenaMap() {
  AmpMap map;
  map.width = kSide;
  map.height = kSide;
  // The ceiling (scale x 16) lies just above the walls.
  map.scale = 7;
  map.top[kOpenTop] = kWallTop;
  map.top[kSolidTop] = -1000.0f;
  map.base[kFloorBase] = 0.0f;
  map.base[kPostBase] = kPostTop;
  map.base[kSolidBase] = -1000.0f;
  // Along a column the cell coordinate grows toward -x, so the ramp falls by one cell's rise.
  map.xSlope[kRampSlope] = -kRampRise * kCell;
  const auto postColumn = static_cast<std::int32_t>((kSide * 8.0f - kPostX) / kCell);
  const auto postRow = static_cast<std::int32_t>((kSide * 8.0f + kPostY) / kCell);
  for (std::int32_t row = 0; row < kSide; ++row) {
    for (std::int32_t column = 0; column < kSide; ++column) {
      if (column > kLastOpenColumn || row < kFirstOpenRow) {
        map.cells.push_back(OneLayer(0, kSolidTop, kSolidBase, 0));
      } else if (column == postColumn && row == postRow) {
        map.cells.push_back(OneLayer(0, kOpenTop, kPostBase, 0));
      } else if (IsOnRamp(CellCentreX(column), CellCentreY(row))) {
        // The ramp's height at the cell's +x edge, where its cell coordinate is whole.
        const auto base = static_cast<std::uint8_t>(kRampBase + column);
        map.base[base] = (kSide * 8.0f - column * kCell - kRampStartX) * kRampRise;
        map.cells.push_back(OneLayer(1, kOpenTop, base, kRampSlope));
      } else {
        map.cells.push_back(OneLayer(0, kOpenTop, kFloorBase, 0));
      }
    }
  }
  return map;
}

}  // namespace mkdata
