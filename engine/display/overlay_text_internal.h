// The statistics overlays' text, shared by the Glide back end's and the render device's.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"
#include "platform/window/rect.h"

// Writes "fps: %3.2f  %dx%d" at (0, 0), "polys: %lu" at (0, 20) and "rgns: %lu" at (0, 40),
// the last two only when their count is not 0, in RGB (0, 200, 100) on a transparent background.
void _r3xWriteOverlayText(HDC dc, const RECT& area, double framesPerSecond, std::int32_t width,
                          std::int32_t height, std::uint32_t polygons, std::uint32_t regions);
