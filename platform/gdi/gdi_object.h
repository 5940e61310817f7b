// The objects behind DC and bitmap handles, shared by the DC calls and the text output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/kernel/handle.h"

namespace platform::gdi {

// A DIB section (or the stock 1 x 1 bitmap, which has no pixels).
struct Bitmap : KernelObject {
  bool ClosedByCloseHandle() const override { return false; }

  std::int32_t width = 0;
  std::int32_t height = 0;
  bool bottomUp = true;
  // Bytes a row, a multiple of 4.
  std::size_t pitch = 0;
  std::vector<std::uint16_t> pixels;
  // The DCs it is selected into; it cannot be deleted meanwhile.
  int selections = 0;

  // The pixel of row y counted from the top.
  std::uint16_t* Row(std::int32_t y) {
    const std::int32_t stored = bottomUp ? height - 1 - y : y;
    return pixels.data() + static_cast<std::size_t>(stored) * (pitch / 2);
  }
};

struct DeviceContext : KernelObject {
  bool ClosedByCloseHandle() const override { return false; }

  std::shared_ptr<Bitmap> bitmap;
  HBITMAP bitmapHandle = nullptr;
  COLORREF textColour = 0;
  COLORREF backgroundColour = 0x00FFFFFF;
  int backgroundMode = OPAQUE;
};

// RGB 555, as 16-bit DIB sections hold colours.
inline std::uint16_t ToRgb555(COLORREF colour) {
  const unsigned red = colour & 0xFF;
  const unsigned green = colour >> 8 & 0xFF;
  const unsigned blue = colour >> 16 & 0xFF;
  return static_cast<std::uint16_t>((red >> 3) << 10 | (green >> 3) << 5 | blue >> 3);
}

}  // namespace platform::gdi
