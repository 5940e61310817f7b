// Reference pictures of rectangles of the board's back buffer, of whole frames and of 8-bit
// images, kept in the
// repository as PNG files. With ARENA_UPDATE_REFERENCES=1 in the environment a comparison rewrites
// its picture instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend/display_backend.h"
#include "platform/gdi/palette_entry.h"

namespace test_support {

// Compares the back buffer's rectangle at (x, y) of width x height pixels with the picture at
// path. Empty when they match (or when the picture was rewritten); otherwise the first differing
// pixel, or why the picture cannot be read.
std::string CompareWithReferencePicture(const std::string& path, int x, int y, int width,
                                        int height);

// The same for a whole RGB565 frame, such as a dialog's picture.
std::string CompareFrameWithReferencePicture(const std::string& path, const platform::Frame& frame);

// The same for a width x height 8-bit image shown through the 256 colours, compared colour for
// colour.
std::string CompareIndexedWithReferencePicture(const std::string& path, int width, int height,
                                               const std::vector<std::uint8_t>& pixels,
                                               const PALETTEENTRY* colours);

}  // namespace test_support
