// The system palette of the substitute's 256-colour screen.
#pragma once

#include <array>

#include "platform/gdi/palette_entry.h"

namespace platform {

inline constexpr int kSystemPaletteSize = 256;
// The first and last this many entries hold the screen's static colours.
inline constexpr int kStaticColourCount = 10;

// The 20 static colours at 0-9 and 246-255 and black in between, where a real screen holds
// whatever the last palette left there: fixed, so that palettes built from it are repeatable.
const std::array<PALETTEENTRY, kSystemPaletteSize>& SystemPalette();

}  // namespace platform
