// Colours as the Glide back end hands them to the board and writes them into 16-bit pixels.
// Results: colour words.
#pragma once

#include <cstdint>

#include "base/pixel16.h"
#include "platform/gdi/palette_entry.h"
#include "platform/glide.h"

// 0x00RRGGBB, the colour format the board is opened with.
inline GrColor _r3xGlideRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<GrColor>(red) << 16 | static_cast<GrColor>(green) << 8 | blue;
}
inline GrColor _r3xGlideColour(const PALETTEENTRY& entry) {
  return _r3xGlideRgb(entry.peRed, entry.peGreen, entry.peBlue);
}
// RGB 555 with bit 15 clear.
inline std::uint16_t _r3xColour555(const PALETTEENTRY& entry) {
  return static_cast<std::uint16_t>(
      arena::Pack555(arena::Rgb(entry.peRed, entry.peGreen, entry.peBlue)));
}
