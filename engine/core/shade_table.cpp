#include "engine/core/shade_table.h"

#include "engine/core/math_convert.h"
#include "engine/core/math_convert_internal.h"
#include "engine/core/memory.h"
#include "engine/core/palette.h"
#include "engine/core/palette_internal.h"
#include "engine/core/shade_table_internal.h"
#include "engine/core/tag_dictionary.h"

namespace {

void FreeShadeTable(R3xShadeTable* table) {
  r3xFree(table->header.tag);
  r3xFree(table->data);
  r3xFree(table);
}

}  // namespace

std::int32_t _r3xBuildShadeTable(std::uint8_t* data, std::int32_t levels, std::int32_t colours,
                                 const PALETTEENTRY* entries, std::int32_t fullFlag) {
  if (levels != R3X_SHADE_LEVELS || colours != R3X_SHADE_COLOURS) {
    return R3X_SHADE_BAD_SIZE;
  }
  const std::int32_t top = levels - 1;
  const auto darkest =
      static_cast<std::uint8_t>(_r3xNearestPaletteEntry(entries, fullFlag, 0, 0, 0));
  for (std::int32_t c = 0; c < colours; ++c) {
    data[c] = darkest;
    data[top * colours + c] = static_cast<std::uint8_t>(c);
  }
  for (std::int32_t k = 1; k < top; ++k) {
    const std::int32_t factor = _r3xFixedDiv(k << 16, top << 16);
    for (std::int32_t c = 0; c < colours; ++c) {
      data[k * colours + c] = static_cast<std::uint8_t>(_r3xNearestPaletteEntry(
          entries, fullFlag, (entries[c].peRed * factor) >> 16, (entries[c].peGreen * factor) >> 16,
          (entries[c].peBlue * factor) >> 16));
    }
  }
  return 0;
}

R3xShadeTable* r3xCreateShadeTable(R3xWorld* world, const R3xPalette* palette) {
  if (palette == nullptr) {
    return nullptr;
  }
  auto* table = static_cast<R3xShadeTable*>(r3xMalloc(sizeof(R3xShadeTable)));
  if (table == nullptr) {
    return nullptr;
  }
  table->header.type = R3X_TYPE_SHADE_TABLE;
  table->header.slot = -1;
  table->data = static_cast<std::uint8_t*>(r3xMalloc(R3X_SHADE_LEVELS * R3X_SHADE_COLOURS));
  if (table->data == nullptr ||
      _r3xBuildShadeTable(table->data, R3X_SHADE_LEVELS, R3X_SHADE_COLOURS, palette->entries,
                          palette->fullFlag) != 0 ||
      (world != nullptr && r3xRegisterObject(world, &table->header) != 0)) {
    FreeShadeTable(table);
    return nullptr;
  }
  return table;
}

std::int32_t r3xDestroyShadeTable(R3xWorld* world, R3xShadeTable* table) {
  if (table == nullptr) {
    return 0;
  }
  if (world != nullptr) {
    if ((table->header.flags & R3X_FLAG_IN_DICTIONARY) != 0) {
      r3xRemoveTag(world, table->header.tag);
    }
    r3xUnregisterObject(world, &table->header);
  }
  FreeShadeTable(table);
  return 0;
}
