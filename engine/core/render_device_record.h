// The render device record: the DirectDraw display that the display drivers open (the
// operations are in engine/display) and that render contexts read for their pixel layout and
// Direct3D block.
// Results: none (a record only).
#pragma once

#include <cstdint>

#include "platform/gdi/palette_entry.h"
#include "platform/window/handles.h"
#include "platform/window/rect.h"

class IDirectDraw;
class IDirectDrawClipper;
class IDirectDrawPalette;
class IDirectDrawSurface;
struct R3xD3DBlock;

inline constexpr std::int32_t R3X_DEVICE_SURFACE_SLOTS = 4;

// One slot of the offscreen-surface table; only the surface is used.
struct R3xDeviceSurfaceSlot {
  IDirectDrawSurface* surface;
  std::uint32_t unused[3];
};

// A colour as the colour-key and clear operations take it: blue, green, red, and a byte that is
// not read.
struct R3xDeviceColour {
  std::uint8_t blue;
  std::uint8_t green;
  std::uint8_t red;
  std::uint8_t unused;
};

struct R3xRenderDevice {
  // 1 while open; a closed record can be reopened.
  std::int32_t open;
  // Given by the caller or created by the device.
  IDirectDraw* directDraw;
  // Displays of 8 bits per pixel or fewer.
  IDirectDrawPalette* palette;
  IDirectDrawSurface* primary;
  // Drawn into: the flip chain's back buffer in full screen, an offscreen surface in a window.
  IDirectDrawSurface* back;
  // Full screen with a scale factor: the camera-sized surface copied or stretched at present.
  IDirectDrawSurface* scale;
  // Windowed: bound to the window, attached to the primary.
  IDirectDrawClipper* clipper;
  // The statistics overlay's 150 x 60 surface.
  IDirectDrawSurface* overlay;
  R3xDeviceSurfaceSlot* surfaces;
  std::int32_t surfaceCount;
  // The camera's image size, times the scale factor in full screen.
  std::uint32_t width;
  std::uint32_t height;
  std::int32_t bitsPerPixel;
  // 0, 1 or 2; 0 for a windowed device.
  std::int32_t scaleFactor;
  HWND window;
  // Windowed: the client area in screen coordinates.
  RECT clientRect;
  std::int32_t fullScreen;
  std::int32_t modeX;
  std::int32_t scaleInUse;
  std::int32_t colourKeyIndex;
  // The index on an 8-bit display, the packed colour on a 16-bit one.
  std::uint32_t colourKey;
  std::int32_t overlayOn;
  // Every flags byte has R3X_PALETTE_READONLY set.
  PALETTEENTRY entries[256];
  // Shown by the overlay; nothing here writes them.
  std::uint32_t polygonCount;
  std::uint32_t regionCount;
  std::int32_t software3D;
  // Null unless opened for Direct3D.
  R3xD3DBlock* direct3D;
  // 16-bit displays: 1 to 4 (R3X_PIXEL_FORMAT_*).
  std::int32_t pixelFormat;
  // 1: present flips (full screen); 0: present blits (windowed).
  std::int32_t flipping;
};

// The flags byte of a device's palette entries.
inline constexpr std::uint8_t R3X_PALETTE_READONLY = 0x40;

// 16-bit pixel layouts, high bit first.
inline constexpr std::int32_t R3X_PIXEL_FORMAT_555 = 1;
inline constexpr std::int32_t R3X_PIXEL_FORMAT_565 = 2;
inline constexpr std::int32_t R3X_PIXEL_FORMAT_BGR555 = 3;
inline constexpr std::int32_t R3X_PIXEL_FORMAT_BGR565 = 4;
