#include "base/pixel16.h"
#include "engine/display/render_device_internal.h"
#include "platform/ddraw.h"

std::int32_t _r3xPackRgb16(const R3xDeviceColour* colour, std::int32_t pixelFormat) {
  const std::uint32_t rgb = arena::Rgb(colour->red, colour->green, colour->blue);
  switch (pixelFormat) {
    case R3X_PIXEL_FORMAT_555:
      return static_cast<std::int32_t>(arena::Pack555(rgb));
    case R3X_PIXEL_FORMAT_565:
      return static_cast<std::int32_t>(arena::Pack565(rgb));
    case R3X_PIXEL_FORMAT_BGR555:
      return static_cast<std::int32_t>(arena::Pack555(arena::SwapRedBlue(rgb)));
    case R3X_PIXEL_FORMAT_BGR565:
      return static_cast<std::int32_t>(arena::Pack565(arena::SwapRedBlue(rgb)));
    default:
      return R3X_DEVICE_FAILED;
  }
}

std::int32_t _r3xPixelFormatOf(const DDPIXELFORMAT& format) {
  if (format.dwRBitMask == 0xF800) {
    return R3X_PIXEL_FORMAT_565;
  }
  if (format.dwRBitMask == 0x001F && format.dwBBitMask == 0x7C00) {
    return R3X_PIXEL_FORMAT_BGR555;
  }
  if (format.dwRBitMask == 0x001F && format.dwBBitMask == 0xF800) {
    return R3X_PIXEL_FORMAT_BGR565;
  }
  return R3X_PIXEL_FORMAT_555;
}

std::int32_t r3xSetDeviceColorKey(R3xRenderDevice* device, std::int32_t index,
                                  const R3xDeviceColour* colour) {
  if (device == nullptr || device->open == 0) {
    return R3X_DEVICE_FAILED;
  }
  if (device->bitsPerPixel == 16) {
    if (colour == nullptr) {
      return R3X_DEVICE_FAILED;
    }
    const std::int32_t packed = _r3xPackRgb16(colour, device->pixelFormat);
    if (packed == R3X_DEVICE_FAILED) {
      return R3X_DEVICE_FAILED;
    }
    device->colourKey = static_cast<std::uint32_t>(packed);
  } else if (device->bitsPerPixel == 8) {
    device->colourKey = static_cast<std::uint32_t>(index);
  }
  device->colourKeyIndex = index;
  DDCOLORKEY key{device->colourKey, device->colourKey};
  if (device->overlay != nullptr) {
    device->overlay->SetColorKey(DDCKEY_SRCBLT, &key);
  }
  for (std::int32_t i = 0; i < device->surfaceCount; ++i) {
    if (device->surfaces[i].surface != nullptr) {
      device->surfaces[i].surface->SetColorKey(DDCKEY_SRCBLT, &key);
    }
  }
  return 0;
}
