#include "tools/mkdata/arena_map_writer.h"

#include <algorithm>
#include <stdexcept>

#include "base/byte_writer.h"

namespace mkdata {

std::vector<std::uint8_t> EncodeArenaMap(const AmpMap& map, AmpLayout* layout) {
  const bool hasCells = map.width >= 1 && map.height >= 1;
  const std::size_t cellCount =
      hasCells ? static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height) : 0;
  if (map.cells.size() != cellCount) {
    throw std::invalid_argument("arena map: cell count does not match the grid");
  }
  AmpLayout offsets;
  arena::ByteWriter out;
  out.Bytes(map.version.data(), map.version.size());
  offsets.header = out.size();
  out.I32(map.width);
  out.I32(map.height);
  out.I32(map.scale);
  offsets.cells = out.size();
  for (const AmpCell& cell : map.cells) {
    const std::size_t records = static_cast<std::size_t>(std::max<int>(cell.count, 1));
    if (cell.layers.size() < records) {
      throw std::invalid_argument("arena map: a cell holds fewer layers than it declares");
    }
    out.I16(cell.count);
    for (std::size_t i = 0; i < records; ++i) {
      out.I8(cell.layers[i].kind);
      out.U8(cell.layers[i].top);
      out.U8(cell.layers[i].base);
      out.U8(cell.layers[i].slope);
    }
  }
  const std::array<const std::array<float, 256>*, 4> tables = {&map.top, &map.base, &map.xSlope,
                                                               &map.ySlope};
  std::array<std::size_t*, 4> starts = {&offsets.top, &offsets.base, &offsets.xSlope,
                                        &offsets.ySlope};
  for (std::size_t t = 0; t < tables.size(); ++t) {
    *starts[t] = out.size();
    for (float value : *tables[t]) {
      out.F32(value);
    }
  }
  offsets.end = out.size();
  if (layout != nullptr) {
    *layout = offsets;
  }
  return out.Take();
}

}  // namespace mkdata
