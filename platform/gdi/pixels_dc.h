// A DC that draws straight into pixels another platform object owns: a DirectDraw surface's,
// while its GetDC is out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/gdi/gdi_types.h"

namespace platform::gdi {

struct LentPixels {
  // The top row; rows run down `pitch` bytes apart.
  std::uint8_t* bits;
  std::int32_t width;
  std::int32_t height;
  std::size_t pitch;
  // 1 (palette indices) or 2.
  std::size_t bytesPerPixel;
  // The stored value of a colour.
  std::function<std::uint32_t(COLORREF)> valueOf;
};

// The pixels must outlive the DC, which DeleteDC ends.
HDC CreateDCOverPixels(const LentPixels& pixels);

}  // namespace platform::gdi
