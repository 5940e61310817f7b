// Loading a palette into the render device and attaching the device palette to its surfaces.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

struct R3xPalette;
struct R3xRenderDevice;

// With a palette, loads its colours into the device palette; with or without one, attaches the
// device palette to the device's surfaces. 0, or R3X_ERR_FAILED for a null or closed device.
std::int32_t r3xSetDevicePalette(R3xRenderDevice* device, const R3xPalette* palette);
