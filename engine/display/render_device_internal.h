// The render device's own steps: offscreen surfaces, the display-mode list, 16-bit packing.
#pragma once

#include <cstdint>

#include "engine/display/render_device.h"
#include "platform/ddraw/direct_draw_types.h"

inline constexpr std::int32_t R3X_DISPLAY_MODE_LIMIT = 20;
// _r3xEnumDisplayModes: no DirectDraw object for the primary driver.
inline constexpr std::int32_t R3X_DEVICE_NO_DRIVER = -2;

struct R3xDisplayMode {
  std::uint32_t width;
  std::uint32_t height;
  std::uint32_t bitsPerPixel;
};

// A new offscreen surface of the device's depth, or null. Out of video memory: a texture of a
// Direct3D device is evicted and the surface tried again, else system memory is tried once.
IDirectDrawSurface* _r3xCreateDeviceSurface(R3xRenderDevice* device, std::uint32_t width,
                                            std::uint32_t height, std::int32_t systemMemory,
                                            std::int32_t colourKeyed, std::int32_t for3D);
// Display drivers: hands back the first secondary driver with hardware 3D.
BOOL _r3xEnumDeviceCallback(GUID* driver, LPSTR description, LPSTR name, LPVOID context);
// Fills the process's display-mode list once (at most R3X_DISPLAY_MODE_LIMIT modes); with a
// count and a table, copies out as many as the count asks, at most as many as were found, and
// sets the count to the number copied. 0 or R3X_DEVICE_NO_DRIVER.
std::int32_t _r3xEnumDisplayModes(R3xRenderDevice* device, std::int32_t* count,
                                  R3xDisplayMode* table);
HRESULT _r3xEnumModeCallback(DDSURFACEDESC* desc, LPVOID context);
// The 16-bit pixel of the colour in layout 1 to 4, or R3X_DEVICE_FAILED for another code.
std::int32_t _r3xPackRgb16(const R3xDeviceColour* colour, std::int32_t pixelFormat);
// The layout of a 16-bit surface from its red and blue masks; 1 for any other.
std::int32_t _r3xPixelFormatOf(const DDPIXELFORMAT& format);
// Empties the display-mode list so that the next device enumerates again.
void _r3xForgetDisplayModes();

// Runs the call; when its surfaces were lost, restores them and runs it once more.
template <typename Call, typename Restore>
HRESULT _r3xRetryIfLost(Call call, Restore restore) {
  HRESULT result = call();
  if (result == DDERR_SURFACELOST) {
    restore();
    result = call();
  }
  return result;
}

// One present's share of the statistics overlay: counts the frame, redraws the overlay
// surface's text every sixth present and copies it, keyed, to the back surface's top left. Its
// failures never fail the present.
void _r3xDrawDeviceOverlay(R3xRenderDevice* device);
