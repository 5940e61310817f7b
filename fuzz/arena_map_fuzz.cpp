// Arena height maps: any bytes are read; a map that reads is asked every query at points taken
// from the bytes after its tables (which the reader never reads), or at fixed points.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/byte_reader.h"
#include "battle/arena/arena_map.h"
#include "engine/r3x.h"

namespace {

constexpr std::size_t kPointFloats = 12;

void Query(const CArenaMap& map, const float* a, const float* b, float size) {
  float height = 0.0f;
  float normal[3];
  float slopeX = 0.0f;
  float slopeY = 0.0f;
  const int layer = map.LayerAtPoint(a);
  const int ground = map.GroundHeight(a, &height);
  const int surface = map.GetSurface(a, normal, &slopeX, &slopeY, &height);
  const int segment = map.IsSegmentClear(a, b);
  const int swept = map.IsSweptBoxClear(a, b, size);
  const int box = map.IsBoxClear(a, b);
  for (int result : {ground, surface}) {
    if (result != 0 && result != -1) {
      std::abort();
    }
  }
  for (int result : {segment, swept, box}) {
    if (result < -1 || result > 1) {
      std::abort();
    }
  }
  if (layer < -1) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = r3xInit() == R3X_DONE;
  if (!started) {
    std::abort();
  }
  const std::span<const std::uint8_t> bytes(data, size);
  const CArenaMap map(bytes);
  if (!map.IsValid()) {
    return 0;
  }
  std::array<float, kPointFloats> points = {0.0f, 0.0f, 5.0f,   -7.5f, 3.25f, 40.0f,
                                            1.0f, 2.0f, -100.f, 9.0f,  -9.0f, 2.5f};
  if (size >= kPointFloats * 4) {
    arena::ByteReader tail(bytes.subspan(size - kPointFloats * 4));
    for (float& value : points) {
      value = tail.F32();
    }
  }
  const float extent = static_cast<float>(map.GetWidth()) * 8.0f;
  Query(map, &points[0], &points[3], points[6]);
  Query(map, &points[6], &points[9], 1.5f);
  // Corners and edges of the grid.
  const float corner[3] = {extent, -static_cast<float>(map.GetHeight()) * 8.0f, points[2]};
  const float opposite[3] = {-extent, static_cast<float>(map.GetHeight()) * 8.0f, points[5]};
  Query(map, corner, opposite, 0.0f);
  return 0;
}
