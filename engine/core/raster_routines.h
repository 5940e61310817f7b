// The software rasterizer's routines as core sees them: the polygon drawers and the 16-bit span
// routines that render contexts hold, typed, and the table in which the software drawers hand
// them to core at start-up (raster_routines_internal.h). Core names no drawer; it installs what
// the registered table holds.
// Results: none (types and records only).
#pragma once

#include <cstdint>

#include "engine/core/render_method.h"

struct R3xRenderContext;
struct R3xSurface;

// Draws one face whose vertices the caller placed in the render context's vertex work arrays:
// the vertex count of the polygon as drawn, 0 when clipping left nothing, -1 when a covered-run
// list cannot grow.
using R3xPolygonDrawer = std::int32_t (*)(R3xRenderContext* context, std::uint32_t vertexCount,
                                          const R3xSurface* surface, R3xRenderMethod method);
// Draws count pixels of the current scan line from column x.
using R3xSpanRoutine = void (*)(R3xRenderContext* context, std::int32_t x, std::int32_t count);

// The 16-bit pixel format codes 1 to 4 of the render device.
inline constexpr std::int32_t R3X_RASTER_PIXEL_FORMATS = 4;

struct R3xRasterRoutines {
  // The drawer of mode 0 (8-bit palettised) and that of the colour mode.
  R3xPolygonDrawer drawPolygon8;
  R3xPolygonDrawer drawPolygonColour;
  // By pixel format code, at code - 1: the output of a colour row, the fill with a flat colour
  // and the palette-to-16-bit output.
  R3xSpanRoutine spanOutput16[R3X_RASTER_PIXEL_FORMATS];
  R3xSpanRoutine spanFill16[R3X_RASTER_PIXEL_FORMATS];
  R3xSpanRoutine spanOutput16b[R3X_RASTER_PIXEL_FORMATS];
};
