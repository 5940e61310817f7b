// Reference pictures of rectangles of the board's back buffer and of whole frames, kept in the
// repository as PNG files. With ARENA_UPDATE_REFERENCES=1 in the environment a comparison rewrites
// its picture instead.
#pragma once

#include <string>

#include "platform/backend/display_backend.h"

namespace test_support {

// Compares the back buffer's rectangle at (x, y) of width x height pixels with the picture at
// path. Empty when they match (or when the picture was rewritten); otherwise the first differing
// pixel, or why the picture cannot be read.
std::string CompareWithReferencePicture(const std::string& path, int x, int y, int width,
                                        int height);

// The same for a whole RGB565 frame, such as a dialog's picture.
std::string CompareFrameWithReferencePicture(const std::string& path, const platform::Frame& frame);

}  // namespace test_support
