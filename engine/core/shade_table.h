// Shade tables: for each of 16 brightness levels, the palette index that best shows each colour.
// Results: an object, or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/object.h"
#include "platform/gdi/palette_entry.h"

struct R3xPalette;

inline constexpr std::int32_t R3X_SHADE_LEVELS = 16;
inline constexpr std::int32_t R3X_SHADE_COLOURS = 256;

struct R3xShadeTable {
  // The header's reference-count word is the fog-ready word: 0 from creation.
  R3xObjectHeader header;
  // Owned: R3X_SHADE_LEVELS rows of R3X_SHADE_COLOURS indexes; row L shows colour c at
  // brightness L / 15.
  std::uint8_t* data;
};

// The shade table of the palette, registered when a world is given (else slot -1); null on
// failure.
R3xShadeTable* r3xCreateShadeTable(R3xWorld* world, const R3xPalette* palette);
// Takes the table out of the world (when given) and frees it. 0.
std::int32_t r3xDestroyShadeTable(R3xWorld* world, R3xShadeTable* table);
