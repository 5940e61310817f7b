// What BMP files hold as a bitmap's images, for tools that inspect the game's data without a
// world.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstddef>
#include <cstdint>

struct R3xWad;

struct R3xBitmapFileInfo {
  std::int32_t width;
  std::int32_t height;
  std::int32_t bitCount;
  // The colours the full-size file's colour table holds.
  std::uint32_t colourCount;
  // The pixels of every level together.
  std::size_t pixelBytes;
};

// Loads names[0] as a full-size image and names[1 .. levelCount - 1] as its further levels, from
// the archive when one is given, as a bitmap loads its files, and describes them. 0, or the
// loader's error code (R3X_ERR_BMP_*, R3X_ERR_NO_MEMORY, R3X_ERR_FAILED); nothing stays allocated.
std::int32_t r3xReadBitmapFileInfo(std::int32_t levelCount, const char* const* names,
                                   R3xWad* archive, R3xBitmapFileInfo* info);
