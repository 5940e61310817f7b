#include "battle/main/device_palette.h"

// Placeholder until the display drivers provide the render device and this call with it: no
// device exists before them, so every call meets the closed-device case.
std::int32_t r3xSetDevicePalette(R3xRenderDevice* /*device*/, const R3xPalette* /*palette*/) {
  return -1;
}
