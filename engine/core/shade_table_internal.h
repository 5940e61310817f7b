// The engine's own functions of shade_table.h, which the public header leaves out.
// Results: 0, or R3X_SHADE_BAD_SIZE.
#pragma once

#include "engine/core/shade_table.h"

// _r3xBuildShadeTable's own code.
inline constexpr std::int32_t R3X_SHADE_BAD_SIZE = -1;

// Fills levels x colours bytes: row 0 the darkest entry of the search range, rows 1-14 the
// entry nearest to each colour scaled by k / 15, row 15 the identity. 0, or
// R3X_SHADE_BAD_SIZE unless the sizes are 16 levels of 256 colours.
std::int32_t _r3xBuildShadeTable(std::uint8_t* data, std::int32_t levels, std::int32_t colours,
                                 const PALETTEENTRY* entries, std::int32_t fullFlag);
