// The arena's coarse height map of solid ground, read from the ".amp" file beside the world pack.
// It answers the cheap questions first (which layer of open space holds a point, how high is the
// ground under it, does a segment or box stay in open space), so that movers sweep through the
// engine's world only where it answers no.
//
// The grid has width x height square cells of 16 world units, centred on the world origin:
// column 0 at the +x edge counting toward -x, row 0 at the -y edge counting toward +y. A cell
// holds a chain of layers, highest first; a layer's open space lies between its surface and its
// top, and everything between one layer's surface and the next one's top is solid.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "battle/core/vector3.h"

// One layer of a cell: kind 0 is flat, 1 and 2 slope along x, 3 and 4 along y; the three indexes
// select its top height, base height and slope from the map's tables.
struct ArenaMapLayer {
  std::int8_t kind = 0;
  std::uint8_t topIndex = 0;
  std::uint8_t baseIndex = 0;
  std::uint8_t slopeIndex = 0;
};

class CArenaMap {
 public:
  // Reads the file; IsValid tells whether the whole of it was read.
  explicit CArenaMap(const std::string& fileName);
  // Reads a file already in memory.
  explicit CArenaMap(std::span<const std::uint8_t> bytes);

  bool IsValid() const { return valid_; }
  std::int32_t GetWidth() const { return width_; }
  std::int32_t GetHeight() const { return height_; }
  std::int32_t GetHeightScale() const { return scale_; }
  // The world's ceiling: the height scale times 16.
  float GetMaxHeight() const { return static_cast<float>(scale_) * 16.0f; }
  // The layers of one cell, highest first; empty outside the grid.
  std::span<const ArenaMapLayer> GetLayers(std::int32_t column, std::int32_t row) const;
  // The top of one of a cell's layers (0 = highest) and its surface at the cell's centre; false
  // when the cell has no such layer or its kind is bad.
  bool GetLayerHeights(std::int32_t column, std::int32_t row, std::size_t layer, float* top,
                       float* surface) const;

  // The number (1 = highest) of the cell's layer whose open space holds height z at cell
  // coordinates (fx, fy); 0 in solid, above the first layer or outside the grid; -1 on a bad kind.
  int FindLayer(std::int32_t column, std::int32_t row, float fx, float fy, float z) const;
  // The same for the cell under the point (clamped into the grid).
  int LayerAtPoint(const float* point) const;
  // The ground under the point: the highest layer whose surface lies at most 2.0 above it. 0 with
  // its surface height when the point is in that layer's open space, else -1 (the height is then
  // the last surface looked at, or -1.0).
  int GroundHeight(const float* point, float* height) const;
  // As GroundHeight, with the ground's normal and its slopes (height change per world unit
  // toward +x and +y); -1 without a normal to write.
  int GetSurface(const float* point, float* normal, float* slopeX, float* slopeY,
                 float* height) const;
  // 1 when the segment stays inside the grid and in open space, changing layer only across cell
  // borders; 0 when not; -1 on bad data.
  int IsSegmentClear(const float* start, const float* end) const;
  // The segment test for the eight corners of a cube of half size h moving from start to end.
  int IsSweptBoxClear(const float* start, const float* end, float halfSize) const;
  // Whether the box between the low corner (smaller x and y, low height) and the high corner
  // stays in open space, sampled once per cell it covers (more at its edges).
  int IsBoxClear(const float* low, const float* high) const;

 private:
  struct CellPoint {
    std::int32_t column;
    std::int32_t row;
    float fx;
    float fy;
  };

  void Read(std::span<const std::uint8_t> bytes);
  bool HasCells() const { return width_ >= 1 && height_ >= 1; }
  float ToCellX(float x) const;
  float ToCellY(float y) const;
  // The cell under a world point, clamped into the grid; false without cells or for a point
  // that is not finite.
  bool FindCell(const float* point, CellPoint* cell) const;
  float SurfaceHeight(const ArenaMapLayer& layer, const CellPoint& cell) const;
  // The walk shared by GroundHeight and GetSurface.
  int FindGround(const float* point, float* normal, float* slopeX, float* slopeY,
                 float* height) const;
  int ClearInRow(std::int32_t row, const Vector3& a, const Vector3& b, int columnStep,
                 const Vector3& columnAdvance) const;

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t scale_ = 0;
  // All layers, cell after cell (row by row); cellStart_[i] .. cellStart_[i + 1] is cell i's.
  std::vector<ArenaMapLayer> layers_;
  std::vector<std::size_t> cellStart_;
  std::array<float, 256> top_{};
  std::array<float, 256> base_{};
  std::array<float, 256> xSlope_{};
  std::array<float, 256> ySlope_{};
  bool valid_ = false;
};
