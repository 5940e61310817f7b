// Writes arena height maps (".amp"): a five-byte version, the grid's width, height and height
// scale, every cell's chain of layers row by row, then the four 256-entry height tables.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace mkdata {

// One layer record: kind (0 flat, 1 and 2 sloped along x, 3 and 4 along y), then indexes into
// the top, base and slope tables.
struct AmpLayer {
  std::int8_t kind = 0;
  std::uint8_t top = 0;
  std::uint8_t base = 0;
  std::uint8_t slope = 0;
};

// A cell's layers, highest first. `count` is what the file declares; the reader takes one record
// for a count below 2 and count records otherwise, so a cell writes max(count, 1) records taken
// from `layers` (which must hold that many).
struct AmpCell {
  std::int16_t count = 1;
  std::vector<AmpLayer> layers;
};

struct AmpMap {
  std::array<std::uint8_t, 5> version = {'0', '.', '9', '1', 0};
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t scale = 0;
  // width x height cells, row 0 first, column 0 first in each row; none unless both are >= 1.
  std::vector<AmpCell> cells;
  std::array<float, 256> top{};
  std::array<float, 256> base{};
  std::array<float, 256> xSlope{};
  std::array<float, 256> ySlope{};
};

// Byte offsets of the file's sections, so that tests can cut a file inside any of them.
struct AmpLayout {
  std::size_t header = 0;
  std::size_t cells = 0;
  std::size_t top = 0;
  std::size_t base = 0;
  std::size_t xSlope = 0;
  std::size_t ySlope = 0;
  std::size_t end = 0;
};

// Throws std::invalid_argument when a cell holds fewer layers than it writes or the cell count
// does not match the grid.
std::vector<std::uint8_t> EncodeArenaMap(const AmpMap& map, AmpLayout* layout = nullptr);

}  // namespace mkdata
