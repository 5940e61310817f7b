// The render device: the engine's DirectDraw display. It sets the display mode (full screen) or
// binds to a window, owns the surfaces a frame is drawn into and shown from, keeps the palette of
// an 8-bit display, the pixel layout of a 16-bit one and the colour key. It is opened, reopened
// with another size or state, cleared, presented, given palettes, and closed in stages.
// Results: 0, R3X_DEVICE_FAILED or R3X_DEVICE_EMPTY_SLOT, or a DirectDraw error code.
#pragma once

#include <cstdint>

#include "engine/core/render_device_record.h"

struct R3xCamera;
struct R3xPalette;

inline constexpr std::int32_t R3X_DEVICE_FAILED = -1;
// r3xGetDeviceSurface: the slot holds no surface.
inline constexpr std::int32_t R3X_DEVICE_EMPTY_SLOT = -2;

// Open flags.
// Draw into a camera-sized scale surface copied to the back buffer at present; also puts a
// created primary surface in video memory.
inline constexpr std::uint32_t R3X_DEVICE_SCALE_1 = 0x01;
// Without R3X_DEVICE_SCALE_1: a display mode twice the camera's size, the scale surface
// stretched onto it.
inline constexpr std::uint32_t R3X_DEVICE_SCALE_2 = 0x02;
// Direct3D on a secondary display driver with 3D capabilities.
inline constexpr std::uint32_t R3X_DEVICE_3D = 0x08;
// Direct3D with the software device.
inline constexpr std::uint32_t R3X_DEVICE_SOFTWARE_3D = 0x10;
inline constexpr std::uint32_t R3X_DEVICE_VIDEO_PRIMARY = 0x20;

// Destroy modes: how much is released. R3X_DEVICE_KEEP may be added to any: the DirectDraw
// object, the primary surface and the display mode belong to someone else.
inline constexpr std::int32_t R3X_DEVICE_FREE = 1;
inline constexpr std::int32_t R3X_DEVICE_CLOSE = 2;
inline constexpr std::int32_t R3X_DEVICE_CLOSE_BACK = 4;
inline constexpr std::int32_t R3X_DEVICE_KEEP = 8;

// Opens a new device into *device when it is null, else reopens the closed record it points
// to, at the camera's image size. A missing DirectDraw object or primary surface is created.
// A new record's colour key is palette index 253 (black on 16-bit displays). 0,
// R3X_DEVICE_FAILED (no memory, a record still open, a failed step) or the failing DirectDraw
// call's code; a failed new record is freed and *device cleared, a failed reopen leaves it
// closed.
std::int32_t r3xCreateRenderDevice(R3xRenderDevice** device, const R3xCamera* camera,
                                   std::int32_t fullScreen, std::int32_t modeX, std::uint32_t flags,
                                   const R3xPalette* palette, HWND window,
                                   std::int32_t bitsPerPixel, IDirectDraw* directDraw,
                                   IDirectDrawSurface* primary);
// Reopens an open device for a new camera size, full-screen state or scale factor; 0 when
// nothing changed. A failed reopen is tried once more windowed; the first result is returned.
std::int32_t r3xResetRenderDevice(R3xRenderDevice* device, const R3xCamera* camera,
                                  std::int32_t fullScreen, std::uint32_t flags);
// Closes the device as far as the mode says; R3X_DEVICE_FREE frees it and clears *device. 0.
std::int32_t r3xDestroyRenderDevice(R3xRenderDevice** device, std::int32_t mode);

// The colour key: the index on an 8-bit display, the packed colour (required) on a 16-bit one.
std::int32_t r3xSetDeviceColorKey(R3xRenderDevice* device, std::int32_t index,
                                  const R3xDeviceColour* colour);
// Fills the drawing surface with the index (8 bits) or the packed colour (16 bits).
std::int32_t r3xClearDevice(R3xRenderDevice* device, std::int32_t index,
                            const R3xDeviceColour* colour);
// Shows the frame: flips in full screen, blits to the window's client area otherwise.
std::int32_t r3xPresentDevice(R3xRenderDevice* device);
// With a palette, loads its colours into the display; with or without one, attaches the device
// palette to the primary (full screen) and the offscreen surfaces.
std::int32_t r3xSetDevicePalette(R3xRenderDevice* device, const R3xPalette* palette);
// The n-th offscreen surface, from 1: R3X_DEVICE_FAILED outside 1 to 4, R3X_DEVICE_EMPTY_SLOT
// for an empty slot.
std::int32_t r3xGetDeviceSurface(R3xRenderDevice* device, std::int32_t n,
                                 IDirectDrawSurface** surface);
