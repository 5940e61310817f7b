// The engine's own functions of palette.h, which the public header leaves out.
// Results: palette indexes (values).
#pragma once

#include "engine/core/palette.h"

// The same search over 256 entries with the given full flag.
std::int32_t _r3xNearestPaletteEntry(const PALETTEENTRY* entries, std::int32_t fullFlag,
                                     std::int32_t red, std::int32_t green, std::int32_t blue);
