#include "engine/core/palette.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/core/bmp_reader.h"
#include "engine/core/memory.h"
#include "engine/core/palette_internal.h"
#include "engine/core/tag_dictionary.h"
#include "platform/gdi/system_palette.h"

namespace {

// With the full flag clear the system keeps this many colours at each end.
constexpr int kStaticColours = 10;
constexpr std::uint32_t kFullColours = R3X_PALETTE_ENTRIES - 2;
constexpr std::uint32_t kSharedColours = R3X_PALETTE_ENTRIES - 2 * kStaticColours;

void KeepSystemColours(R3xPalette* palette) {
  for (int i = 1; i < R3X_PALETTE_ENTRIES; ++i) {
    if (i < kStaticColours || i >= R3X_PALETTE_ENTRIES - kStaticColours) {
      palette->entries[i].peFlags = 0;
    }
  }
}

// Copies the file's colours first .. first + n - 1 into the same entries, but none past the
// colours the file has.
void CopyColours(R3xPalette* palette, const R3xDib* dib, std::uint32_t count) {
  const std::uint32_t first = palette->fullFlag != 0 ? 1 : kStaticColours;
  const std::uint32_t n = std::min(count, palette->fullFlag != 0 ? kFullColours : kSharedColours);
  for (std::uint32_t i = first; i < first + n && i < count; ++i) {
    const R3xRgb colour = _r3xBmpColor(dib, i);
    palette->entries[i] = PALETTEENTRY{colour.red, colour.green, colour.blue, PC_NOCOLLAPSE};
  }
}

}  // namespace

R3xPalette* r3xCreatePalette(R3xWorld* world, R3xWad* archive, const char* bmpName,
                             std::int32_t fullFlag) {
  auto* palette = static_cast<R3xPalette*>(r3xMalloc(sizeof(R3xPalette)));
  if (palette == nullptr) {
    return nullptr;
  }
  palette->header.type = R3X_TYPE_PALETTE;
  palette->header.slot = -1;
  palette->fullFlag = fullFlag;
  std::copy(platform::SystemPalette().begin(), platform::SystemPalette().end(), palette->entries);
  R3xDib* dib =
      archive != nullptr ? _r3xReadDibFromWad(archive, bmpName) : _r3xReadBmpFile(bmpName);
  const std::uint32_t count = dib != nullptr ? _r3xBmpColorCount(dib) : 0;
  if (count == 0 || !_r3xBmpColorsFit(dib, count)) {
    r3xFree(dib);
    r3xFree(palette);
    return nullptr;
  }
  palette->version = R3X_PALETTE_VERSION;
  palette->entryCount =
      static_cast<std::uint16_t>(std::min<std::uint32_t>(count, R3X_PALETTE_ENTRIES));
  palette->entries[0] = PALETTEENTRY{0, 0, 0, 0};
  if (fullFlag == 0) {
    KeepSystemColours(palette);
  }
  CopyColours(palette, dib, count);
  palette->entries[R3X_PALETTE_ENTRIES - 1] = PALETTEENTRY{255, 255, 255, 0};
  r3xFree(dib);
  if (world != nullptr && r3xRegisterObject(world, &palette->header) != 0) {
    r3xFree(palette);
    return nullptr;
  }
  return palette;
}

std::int32_t r3xDestroyPalette(R3xWorld* world, R3xPalette* palette) {
  if (palette == nullptr) {
    return 0;
  }
  if (world != nullptr) {
    if ((palette->header.flags & R3X_FLAG_IN_DICTIONARY) != 0) {
      r3xRemoveTag(world, palette->header.tag);
    }
    r3xUnregisterObject(world, &palette->header);
  }
  r3xFree(palette->header.tag);
  r3xFree(palette);
  return 0;
}

std::int32_t _r3xNearestPaletteEntry(const PALETTEENTRY* entries, std::int32_t fullFlag,
                                     std::int32_t red, std::int32_t green, std::int32_t blue) {
  const int first = fullFlag != 0 ? 0 : kStaticColours;
  const int last =
      fullFlag != 0 ? R3X_PALETTE_ENTRIES - 1 : R3X_PALETTE_ENTRIES - 1 - kStaticColours;
  int best = first;
  std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
  for (int i = first; i <= last; ++i) {
    const std::int64_t dr = std::int64_t{entries[i].peRed} - red;
    const std::int64_t dg = std::int64_t{entries[i].peGreen} - green;
    const std::int64_t db = std::int64_t{entries[i].peBlue} - blue;
    const std::int64_t distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
      if (distance == 0) {
        break;
      }
    }
  }
  return best;
}

std::int32_t r3xNearestPaletteIndex(const R3xPalette* palette, std::int32_t red, std::int32_t green,
                                    std::int32_t blue) {
  return _r3xNearestPaletteEntry(palette->entries, palette->fullFlag, red, green, blue);
}
