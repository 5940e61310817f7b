// Palettes: a 256-colour logical palette built from the system palette and a BMP's colours.
// Results: an object, or null; 0 or a negative R3X_ERR_ code; palette indexes.
#pragma once

#include <cstdint>

#include "engine/core/object.h"
#include "platform/gdi/palette_entry.h"

struct R3xWad;

inline constexpr std::uint16_t R3X_PALETTE_VERSION = 0x300;
inline constexpr int R3X_PALETTE_ENTRIES = 256;

struct R3xPalette {
  R3xObjectHeader header;
  // A logical palette: version, entry count, entries.
  std::uint16_t version;
  // The BMP's colour count, at most 256; entries 0 and 255 are set whatever it is.
  std::uint16_t entryCount;
  PALETTEENTRY entries[R3X_PALETTE_ENTRIES];
  // 0 keeps the 20 system colours at 0-9 and 246-255; otherwise the file's colours take every
  // entry but the first and the last.
  std::int32_t fullFlag;
};

// A palette from the BMP's colours (read from the archive when one is given, else from a
// file), registered when a world is given. Null when the BMP is missing or damaged, has no
// colours, or memory runs out. Entries past the file's colours keep the system colours.
R3xPalette* r3xCreatePalette(R3xWorld* world, R3xWad* archive, const char* bmpName,
                             std::int32_t fullFlag);
// Takes the palette out of the world (when given) and frees it. 0.
std::int32_t r3xDestroyPalette(R3xWorld* world, R3xPalette* palette);
// The palette index nearest to the colour by squared distance, the first on ties: among
// 10-245 when the full flag is clear, among 0-255 when it is set.
std::int32_t r3xNearestPaletteIndex(const R3xPalette* palette, std::int32_t red, std::int32_t green,
                                    std::int32_t blue);
