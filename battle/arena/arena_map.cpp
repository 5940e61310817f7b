#include "battle/arena/arena_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/byte_reader.h"
#include "engine/r3x_core.h"

namespace {

constexpr std::uint8_t kVersion[5] = {'0', '.', '9', '1', 0};
// The smallest a cell can be in the file: its count and one layer record.
constexpr std::uint64_t kMinCellBytes = 6;
constexpr std::uint64_t kTableBytes = 4 * 256 * 4;
// A point counts as on the ground when its layer's surface lies at most this far above it.
constexpr float kGroundTolerance = 2.0f;

std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName, bool* opened) {
  std::vector<std::uint8_t> bytes;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "rb"),
                                                             std::fclose);
  *opened = file != nullptr;
  if (!file) {
    return bytes;
  }
  std::uint8_t chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return bytes;
}

bool IsFinite(const float* point) {
  return std::isfinite(point[0]) && std::isfinite(point[1]) && std::isfinite(point[2]);
}

// A cell index from a cell coordinate, clamped into [0, count - 1]; the coordinate is finite.
std::int32_t ClampIndex(float value, std::int32_t count) {
  if (!(value > 0.0f)) {
    return 0;
  }
  if (value >= static_cast<float>(count)) {
    return count - 1;
  }
  return std::min(r3xFloatToInt(value), count - 1);
}

// The cell coordinates at which a box is sampled along one axis in cell `index`: the box's own
// edge in its first and last cell (both when they coincide), the cell's middle elsewhere.
int SampleValues(std::int32_t index, std::int32_t first, std::int32_t last, float firstValue,
                 float lastValue, float* values) {
  if (first == last) {
    values[0] = firstValue;
    values[1] = lastValue;
    return firstValue == lastValue ? 1 : 2;
  }
  values[0] = index == first  ? firstValue
              : index == last ? lastValue
                              : static_cast<float>(index) + 0.5f;
  return 1;
}

}  // namespace

CArenaMap::CArenaMap(const std::string& fileName) {
  bool opened = false;
  const std::vector<std::uint8_t> bytes = ReadWholeFile(fileName, &opened);
  if (opened) {
    Read(bytes);
  }
}

CArenaMap::CArenaMap(std::span<const std::uint8_t> bytes) { Read(bytes); }

void CArenaMap::Read(std::span<const std::uint8_t> bytes) {
  arena::ByteReader reader(bytes);
  std::uint8_t version[5];
  // Exactly the five bytes of the version text with its terminating zero.
  if (!reader.Bytes(version, sizeof version) || std::memcmp(version, kVersion, 5) != 0) {
    return;
  }
  const std::int32_t width = reader.I32();
  const std::int32_t height = reader.I32();
  const std::int32_t scale = reader.I32();
  if (!reader.ok()) {
    return;
  }
  width_ = width;
  height_ = height;
  scale_ = scale;
  if (HasCells()) {
    // Refuse a grid the file cannot hold before allocating anything for it: the file's size
    // bounds the memory. Two sides below 2^31 make fewer than 2^62 cells, and dividing the bytes
    // instead of multiplying the cells cannot overflow.
    const std::uint64_t cells =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    const std::uint64_t remaining = reader.remaining();
    if (remaining < kTableBytes || cells > (remaining - kTableBytes) / kMinCellBytes) {
      return;
    }
    cellStart_.reserve(cells + 1);
    layers_.reserve(cells);
    for (std::uint64_t cell = 0; cell < cells; ++cell) {
      cellStart_.push_back(layers_.size());
      const std::int16_t count = reader.I16();
      // A count below 2 still has one record.
      const int records = std::max<int>(count, 1);
      if (static_cast<std::uint64_t>(records) * 4 > reader.remaining()) {
        return;
      }
      for (int i = 0; i < records; ++i) {
        ArenaMapLayer layer;
        layer.kind = reader.I8();
        layer.topIndex = reader.U8();
        layer.baseIndex = reader.U8();
        layer.slopeIndex = reader.U8();
        layers_.push_back(layer);
      }
    }
    cellStart_.push_back(layers_.size());
  }
  for (std::array<float, 256>* table : {&top_, &base_, &xSlope_, &ySlope_}) {
    for (float& value : *table) {
      value = reader.F32();
    }
  }
  valid_ = reader.ok();
}

std::span<const ArenaMapLayer> CArenaMap::GetLayers(std::int32_t column, std::int32_t row) const {
  if (!HasCells() || column < 0 || column >= width_ || row < 0 || row >= height_ ||
      cellStart_.size() != static_cast<std::size_t>(width_) * height_ + 1) {
    return {};
  }
  const std::size_t cell = static_cast<std::size_t>(row) * width_ + column;
  return std::span<const ArenaMapLayer>(layers_).subspan(cellStart_[cell],
                                                         cellStart_[cell + 1] - cellStart_[cell]);
}

bool CArenaMap::GetLayerHeights(std::int32_t column, std::int32_t row, std::size_t layer,
                                float* top, float* surface) const {
  const std::span<const ArenaMapLayer> layers = GetLayers(column, row);
  if (layer >= layers.size() || layers[layer].kind < 0 || layers[layer].kind > 4) {
    return false;
  }
  const CellPoint centre{column, row, static_cast<float>(column) + 0.5f,
                         static_cast<float>(row) + 0.5f};
  *top = top_[layers[layer].topIndex];
  *surface = SurfaceHeight(layers[layer], centre);
  return true;
}

float CArenaMap::ToCellX(float x) const {
  return (static_cast<float>(width_) * 8.0f - x) * 0.0625f;
}

float CArenaMap::ToCellY(float y) const {
  return (static_cast<float>(height_) * 8.0f + y) * 0.0625f;
}

bool CArenaMap::FindCell(const float* point, CellPoint* cell) const {
  if (!HasCells() || !IsFinite(point)) {
    return false;
  }
  cell->fx = ToCellX(point[0]);
  cell->fy = ToCellY(point[1]);
  if (!std::isfinite(cell->fx) || !std::isfinite(cell->fy)) {
    return false;
  }
  cell->column = ClampIndex(cell->fx, width_);
  cell->row = ClampIndex(cell->fy, height_);
  return true;
}

float CArenaMap::SurfaceHeight(const ArenaMapLayer& layer, const CellPoint& cell) const {
  float height = base_[layer.baseIndex];
  if (layer.kind == 1 || layer.kind == 2) {
    height += (cell.fx - static_cast<float>(cell.column)) * xSlope_[layer.slopeIndex];
  } else if (layer.kind == 3 || layer.kind == 4) {
    height += (cell.fy - static_cast<float>(cell.row)) * ySlope_[layer.slopeIndex];
  }
  return height;
}

int CArenaMap::FindLayer(std::int32_t column, std::int32_t row, float fx, float fy, float z) const {
  const CellPoint cell{column, row, fx, fy};
  int number = 1;
  for (const ArenaMapLayer& layer : GetLayers(column, row)) {
    if (top_[layer.topIndex] < z) {
      return 0;
    }
    if (layer.kind < 0 || layer.kind > 4) {
      return -1;
    }
    if (z >= SurfaceHeight(layer, cell)) {
      return number;
    }
    ++number;
  }
  return 0;
}

int CArenaMap::LayerAtPoint(const float* point) const {
  CellPoint cell;
  if (!FindCell(point, &cell)) {
    return 0;
  }
  return FindLayer(cell.column, cell.row, cell.fx, cell.fy, point[2]);
}

int CArenaMap::GroundHeight(const float* point, float* height) const {
  float normal[3];
  float slopeX = 0.0f;
  float slopeY = 0.0f;
  *height = -1.0f;
  return FindGround(point, normal, &slopeX, &slopeY, height);
}

int CArenaMap::GetSurface(const float* point, float* normal, float* slopeX, float* slopeY,
                          float* height) const {
  *slopeX = 0.0f;
  *slopeY = 0.0f;
  *height = -1.0f;
  if (normal == nullptr) {
    return -1;
  }
  return FindGround(point, normal, slopeX, slopeY, height);
}

int CArenaMap::FindGround(const float* point, float* out, float* slopeX, float* slopeY,
                          float* height) const {
  out[0] = 0.0f;
  out[1] = 0.0f;
  out[2] = 1.0f;
  CellPoint cell;
  if (!FindCell(point, &cell)) {
    return -1;
  }
  for (const ArenaMapLayer& layer : GetLayers(cell.column, cell.row)) {
    if (layer.kind < 0 || layer.kind > 4) {
      return -1;
    }
    *height = SurfaceHeight(layer, cell);
    *slopeX = 0.0f;
    *slopeY = 0.0f;
    out[0] = 0.0f;
    out[1] = 0.0f;
    out[2] = 1.0f;
    if (layer.kind == 1 || layer.kind == 2) {
      *slopeX = xSlope_[layer.slopeIndex] * -0.0625f;
      const float s = r3xInvSqrt(*slopeX * *slopeX + 1.0f);
      out[0] = -*slopeX * s;
      out[2] = s;
    } else if (layer.kind == 3 || layer.kind == 4) {
      *slopeY = ySlope_[layer.slopeIndex] * 0.0625f;
      const float s = r3xInvSqrt(*slopeY * *slopeY + 1.0f);
      out[1] = -*slopeY * s;
      out[2] = s;
    }
    if (*height - kGroundTolerance <= point[2]) {
      return point[2] <= top_[layer.topIndex] ? 0 : -1;
    }
  }
  return -1;
}

int CArenaMap::ClearInRow(std::int32_t row, const Vector3& a, const Vector3& b, int columnStep,
                          const Vector3& columnAdvance) const {
  const std::int32_t first = ClampIndex(a[0], width_);
  std::int32_t last = ClampIndex(b[0], width_);
  // Rounding in the stepped end point must never turn the walk away from its direction.
  if (columnStep == 0 || (last - first) * columnStep < 0) {
    last = first;
  }
  Vector3 u = a;
  Vector3 v = a;
  for (std::int32_t column = first, step = 0;; column += columnStep, ++step) {
    const bool isLast = column == last;
    if (isLast) {
      v = b;
    } else if (step == 0) {
      const float inside = u[0] - static_cast<float>(column);
      v = Sum(u, Scaled(columnAdvance, columnStep < 0 ? inside : 1.0f - inside));
    } else {
      v = Sum(v, Scaled(columnAdvance, 1.0f));
    }
    const int r1 = FindLayer(column, row, u[0], u[1], u[2]);
    if (r1 <= 0) {
      return r1;
    }
    const int r2 = FindLayer(column, row, v[0], v[1], v[2]);
    if (r2 <= 0) {
      return r2;
    }
    if (r1 != r2) {
      return 0;
    }
    if (isLast) {
      return 1;
    }
    u = v;
  }
}

int CArenaMap::IsSegmentClear(const float* start, const float* end) const {
  if (!HasCells() || !IsFinite(start) || !IsFinite(end)) {
    return 0;
  }
  const Vector3 p1 = {ToCellX(start[0]), ToCellY(start[1]), start[2]};
  const Vector3 p2 = {ToCellX(end[0]), ToCellY(end[1]), end[2]};
  const float w = static_cast<float>(width_);
  const float h = static_cast<float>(height_);
  // Negated tests so that a coordinate that is not a number counts as outside.
  if (!(p1[0] >= 0.0f && p1[0] < w && p2[0] >= 0.0f && p2[0] < w && p1[1] >= 0.0f && p1[1] < h &&
        p2[1] >= 0.0f && p2[1] < h)) {
    return 0;
  }
  const std::int32_t row1 = ClampIndex(p1[1], height_);
  const std::int32_t row2 = ClampIndex(p2[1], height_);
  int rowStep = 0;
  Vector3 rowAdvance = {0.0f, 0.0f, 0.0f};
  if (p1[1] != p2[1]) {
    const float dy = p2[1] - p1[1];
    rowStep = dy > 0.0f ? 1 : -1;
    const float sign = static_cast<float>(rowStep);
    rowAdvance = {sign * (p2[0] - p1[0]) / dy, sign, sign * (p2[2] - p1[2]) / dy};
  }
  int columnStep = 0;
  Vector3 columnAdvance = {0.0f, 0.0f, 0.0f};
  if (p1[0] != p2[0]) {
    const float dx = p2[0] - p1[0];
    columnStep = dx > 0.0f ? 1 : -1;
    const float sign = static_cast<float>(columnStep);
    columnAdvance = {sign, sign * (p2[1] - p1[1]) / dx, sign * (p2[2] - p1[2]) / dx};
  }
  Vector3 a = p1;
  Vector3 b = p1;
  for (std::int32_t row = row1, step = 0;; row += rowStep, ++step) {
    const bool isLast = row == row2 || rowStep == 0;
    if (isLast) {
      b = p2;
    } else if (step == 0) {
      const float inside = a[1] - static_cast<float>(row);
      b = Sum(a, Scaled(rowAdvance, rowStep < 0 ? inside : 1.0f - inside));
    } else {
      b = Sum(b, Scaled(rowAdvance, 1.0f));
    }
    const int result = ClearInRow(row, a, b, columnStep, columnAdvance);
    if (result <= 0) {
      return result;
    }
    if (isLast) {
      return 1;
    }
    a = b;
  }
}

int CArenaMap::IsSweptBoxClear(const float* start, const float* end, float halfSize) const {
  static constexpr float kCorners[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                           {-1, 1, 1},   {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}};
  for (const auto& corner : kCorners) {
    const float from[3] = {start[0] + corner[0] * halfSize, start[1] + corner[1] * halfSize,
                           start[2] + corner[2] * halfSize};
    const float to[3] = {end[0] + corner[0] * halfSize, end[1] + corner[1] * halfSize,
                         end[2] + corner[2] * halfSize};
    const int result = IsSegmentClear(from, to);
    if (result < 1) {
      return result;
    }
  }
  return 1;
}

int CArenaMap::IsBoxClear(const float* low, const float* high) const {
  if (!HasCells() || !IsFinite(low) || !IsFinite(high)) {
    return 0;
  }
  const float fxLo = ToCellX(low[0]);
  const float fyLo = ToCellY(low[1]);
  const float fxHi = ToCellX(high[0]);
  const float fyHi = ToCellY(high[1]);
  const float w = static_cast<float>(width_);
  const float h = static_cast<float>(height_);
  if (!(fxHi >= 0.0f && fyLo >= 0.0f && fxLo >= 0.0f && fyHi >= 0.0f && fxHi < w && fxLo < w &&
        fyLo < h && fyHi < h)) {
    return 0;
  }
  // x runs backwards: the high corner's x lies in the lower column.
  const std::int32_t columnFirst = ClampIndex(fxHi, width_);
  const std::int32_t columnLast = ClampIndex(fxLo, width_);
  const std::int32_t rowFirst = ClampIndex(fyLo, height_);
  const std::int32_t rowLast = ClampIndex(fyHi, height_);
  for (std::int32_t row = std::min(rowFirst, rowLast); row <= std::max(rowFirst, rowLast); ++row) {
    float ys[2];
    const int yCount = SampleValues(row, rowFirst, rowLast, fyLo, fyHi, ys);
    for (std::int32_t column = std::min(columnFirst, columnLast);
         column <= std::max(columnFirst, columnLast); ++column) {
      float xs[2];
      const int xCount = SampleValues(column, columnFirst, columnLast, fxHi, fxLo, xs);
      for (int j = 0; j < yCount; ++j) {
        for (int i = 0; i < xCount; ++i) {
          const int r1 = FindLayer(column, row, xs[i], ys[j], low[2]);
          if (r1 <= 0) {
            return r1;
          }
          // In a cell's first layer the high height is not tested.
          if (r1 > 1 && FindLayer(column, row, xs[i], ys[j], high[2]) != r1) {
            return 0;
          }
        }
      }
    }
  }
  return 1;
}
