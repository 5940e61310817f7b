// Perspective span routines: a span textured with one true division every 16 pixels of the
// row's grid (blocks start at the columns gridX + 16 n) and u, v stepped in 10.22 in between.
// One family per shading mode (1 texel, 2 shade row, 3 light level per block, 4 light and fog
// levels per block, 5 light level per pixel), opaque, and of modes 1 to 4, colour-keyed. Each
// family is one template: its generic member is the instantiation of size 0 x 0, which takes the
// level's masks from the span state; a size member (Width x Height) has them as constants and
// writes exactly what the generic member writes for that size.
// An opaque span ends with its last pixel divided exactly; a keyed span steps every pixel and
// records its covered runs as it draws.
// Results: the keyed routines 0 or R3X_RUNS_CANNOT_GROW; the opaque routines nothing.
#pragma once

#include <cstdint>

#include "engine/core/render_work_arrays.h"
#include "engine/core/span_state.h"
#include "engine/raster/exact_spans_internal.h"

struct R3xRenderContext;

// The opaque span call for a level of Width x Height (0 x 0: the generic member).
template <int Mode, std::uint32_t Width, std::uint32_t Height>
void _r3xSpanPerspOpaque(R3xRenderContext* context, std::int32_t x, std::int32_t count);

// The colour-keyed span call of R3xKeyedSpanRoutine for a level of Width x Height.
template <int Mode, std::uint32_t Width, std::uint32_t Height>
std::int32_t _r3xSpanPerspKeyed(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                R3xCoveredRun** cursor, R3xCoveredRun** last,
                                std::uint32_t* runCount, std::uint32_t* drawn, std::int32_t key,
                                std::int32_t startsInside, std::int32_t* endsInside,
                                R3xList16* list);

// The generic members, which the drawers choose and the span size tables look up.
inline constexpr R3xSpanRoutine _r3xSpanPerspOpaqueMode1 = &_r3xSpanPerspOpaque<1, 0, 0>;
inline constexpr R3xSpanRoutine _r3xSpanPerspOpaqueMode2 = &_r3xSpanPerspOpaque<2, 0, 0>;
inline constexpr R3xSpanRoutine _r3xSpanPerspOpaqueMode3 = &_r3xSpanPerspOpaque<3, 0, 0>;
inline constexpr R3xSpanRoutine _r3xSpanPerspOpaqueMode4 = &_r3xSpanPerspOpaque<4, 0, 0>;
inline constexpr R3xSpanRoutine _r3xSpanPerspOpaqueMode5 = &_r3xSpanPerspOpaque<5, 0, 0>;
inline constexpr R3xKeyedSpanRoutine _r3xSpanPerspKeyedMode1 = &_r3xSpanPerspKeyed<1, 0, 0>;
inline constexpr R3xKeyedSpanRoutine _r3xSpanPerspKeyedMode2 = &_r3xSpanPerspKeyed<2, 0, 0>;
inline constexpr R3xKeyedSpanRoutine _r3xSpanPerspKeyedMode3 = &_r3xSpanPerspKeyed<3, 0, 0>;
inline constexpr R3xKeyedSpanRoutine _r3xSpanPerspKeyedMode4 = &_r3xSpanPerspKeyed<4, 0, 0>;
