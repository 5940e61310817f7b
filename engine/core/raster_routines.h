// The software rasterizer's routines as core sees them: the polygon drawers and the 16-bit span
// routines that render contexts hold, typed.
// Results: none (types only).
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
