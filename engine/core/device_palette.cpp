#include "engine/core/device_palette.h"

#include "engine/core/error.h"

// Placeholder until the display drivers (engine/display) provide the render device and this call
// with it: no device exists before them, so every call meets the closed-device case.
std::int32_t r3xSetDevicePalette(R3xRenderDevice* /*device*/, const R3xPalette* /*palette*/) {
  return R3X_ERR_FAILED;
}
