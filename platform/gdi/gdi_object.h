// The objects behind DC and bitmap handles, shared by the DC calls and the text output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/pixel16.h"
#include "platform/gdi/gdi_types.h"
#include "platform/kernel/handle.h"

namespace platform::gdi {

// RGB 555, as 16-bit DIB sections hold colours.
inline std::uint32_t ToRgb555(COLORREF colour) {
  return arena::Pack555(arena::SwapRedBlue(colour & 0xFFFFFF));
}

// The pixels a DC draws into: a DIB section's own, memory that a DirectDraw surface lends while
// its DC is out, or none (the stock 1 x 1 bitmap).
struct Bitmap : KernelObject {
  bool ClosedByCloseHandle() const override { return false; }

  std::int32_t width = 0;
  std::int32_t height = 0;
  bool bottomUp = true;
  // Bytes a row.
  std::size_t pitch = 0;
  // 1 (palette indices) or 2.
  std::size_t bytesPerPixel = 2;
  // A DIB section's pixels.
  std::vector<std::uint16_t> pixels;
  // The first stored row; null for the stock bitmap.
  std::uint8_t* bits = nullptr;
  // The stored value of a colour.
  std::function<std::uint32_t(COLORREF)> valueOf = ToRgb555;
  // The DCs it is selected into; it cannot be deleted meanwhile.
  int selections = 0;

  // The pixels of row y counted from the top.
  std::uint8_t* Row(std::int32_t y) {
    const std::int32_t stored = bottomUp ? height - 1 - y : y;
    return bits + static_cast<std::size_t>(stored) * pitch;
  }
  // Stores a value at column x of a row, little-endian.
  void Put(std::uint8_t* row, std::int32_t x, std::uint32_t value) const {
    std::uint8_t* pixel = row + static_cast<std::size_t>(x) * bytesPerPixel;
    pixel[0] = static_cast<std::uint8_t>(value);
    if (bytesPerPixel == 2) {
      pixel[1] = static_cast<std::uint8_t>(value >> 8);
    }
  }
};

// A font made by CreateFontA: every face is drawn in the DCs' one font, at the font's height.
struct Font : KernelObject {
  bool ClosedByCloseHandle() const override { return false; }

  // Pixel rows of a text line's cells.
  int height = 0;
};

struct DeviceContext : KernelObject {
  bool ClosedByCloseHandle() const override { return false; }

  std::shared_ptr<Bitmap> bitmap;
  HBITMAP bitmapHandle = nullptr;
  COLORREF textColour = 0;
  COLORREF backgroundColour = 0x00FFFFFF;
  int backgroundMode = OPAQUE;
  // TA_* flags.
  UINT textAlign = 0;
  // The selected font: the stock font (16-pixel cells) until another is selected.
  HGDIOBJ fontHandle = nullptr;
  int fontHeight = 16;
};

}  // namespace platform::gdi
