// The engine's own functions of the Glide 2D images, which the public header leaves out.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/display/glide_image.h"
#include "platform/gdi/palette_entry.h"

struct R3xBitmap;

// 8-bit pixels through 256 palette colours to ARGB 1555 rows from the top (alpha set; keyed:
// the transparent index becomes 0x0000). With sourceBottomUp the source's last row comes first.
std::int32_t _r3xConvert8To1555(const std::uint8_t* source, const PALETTEENTRY* palette,
                                std::uint16_t* destination, std::int32_t width, std::int32_t height,
                                std::uint8_t transparentIndex, std::int32_t sourceBottomUp,
                                std::int32_t keyed);
// Writes pixels of the depth's layout (8: ARGB 1555 from the top, blended by alpha; otherwise
// RGB 555 from the bottom, chroma-keyed by the transparent colour) into the back buffer. 0.
std::int32_t _r3xGlideBlitToFrame(R3xGlideContext* context, std::int32_t sourceDepth,
                                  std::int32_t width, std::int32_t height,
                                  const std::uint16_t* pixels, std::int32_t x, std::int32_t y,
                                  const RECT* source);
// Writes a bitmap into the back buffer as r3xGlideDrawImage writes an image of it, without
// keeping one: an 8-bit bitmap is converted into a buffer for the write (rows from the bottom
// unless rowsTopDown; keyed: the transparent index becomes transparent), a 16-bit one is written
// from its own pixels, keyed by the transparent colour. The write's result; R3X_ERR_FAILED,
// with nothing written, for another depth, pixels shorter than the image, an 8-bit bitmap
// before a palette is attached, or out of memory.
std::int32_t _r3xGlideDrawBitmap(R3xGlideContext* context, const R3xBitmap* bitmap,
                                 std::int32_t keyed, std::int32_t x, std::int32_t y,
                                 const RECT* source, std::int32_t rowsTopDown);
