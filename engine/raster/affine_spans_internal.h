// Affine span routines: a span textured without perspective correction, u and v taken once at
// the span's first pixel and stepped in 10.22 at every pixel after it. One family per shading
// mode (1 texel, 2 shade row, 3 light level per 16 pixels, 4 light and fog levels per 16
// pixels, 5 light level per pixel), opaque, and of modes 1 to 4, colour-keyed. The groups of
// 16 pixels are counted from each call's first pixel. Each family is one template: its generic
// member is the instantiation of size 0 x 0, which takes the level's masks from the span state;
// a size member (Width x Height) has them as constants and writes exactly what the generic
// member writes for that size.
// Results: the keyed routines 0 or R3X_RUNS_CANNOT_GROW; the opaque routines nothing.
#pragma once

#include <cstdint>

#include "engine/core/render_work_arrays.h"
#include "engine/core/span_state.h"
#include "engine/raster/exact_spans_internal.h"

struct R3xRenderContext;

// The opaque span call for a level of Width x Height (0 x 0: the generic member).
template <int Mode, std::uint32_t Width, std::uint32_t Height>
void _r3xSpanAffineOpaque(R3xRenderContext* context, std::int32_t x, std::int32_t count);

// The colour-keyed span call of R3xKeyedSpanRoutine for a level of Width x Height.
template <int Mode, std::uint32_t Width, std::uint32_t Height>
std::int32_t _r3xSpanAffineKeyed(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                 R3xCoveredRun** cursor, R3xCoveredRun** last,
                                 std::uint32_t* runCount, std::uint32_t* drawn, std::int32_t key,
                                 std::int32_t startsInside, std::int32_t* endsInside,
                                 R3xList16* list);

// The generic members, which the drawers choose and the span size tables look up.
inline constexpr R3xSpanRoutine _r3xSpanAffineOpaqueMode1 = &_r3xSpanAffineOpaque<1, 0, 0>;
inline constexpr R3xSpanRoutine _r3xSpanAffineOpaqueMode2 = &_r3xSpanAffineOpaque<2, 0, 0>;
inline constexpr R3xSpanRoutine _r3xSpanAffineOpaqueMode3 = &_r3xSpanAffineOpaque<3, 0, 0>;
inline constexpr R3xSpanRoutine _r3xSpanAffineOpaqueMode4 = &_r3xSpanAffineOpaque<4, 0, 0>;
inline constexpr R3xSpanRoutine _r3xSpanAffineOpaqueMode5 = &_r3xSpanAffineOpaque<5, 0, 0>;
inline constexpr R3xKeyedSpanRoutine _r3xSpanAffineKeyedMode1 = &_r3xSpanAffineKeyed<1, 0, 0>;
inline constexpr R3xKeyedSpanRoutine _r3xSpanAffineKeyedMode2 = &_r3xSpanAffineKeyed<2, 0, 0>;
inline constexpr R3xKeyedSpanRoutine _r3xSpanAffineKeyedMode3 = &_r3xSpanAffineKeyed<3, 0, 0>;
inline constexpr R3xKeyedSpanRoutine _r3xSpanAffineKeyedMode4 = &_r3xSpanAffineKeyed<4, 0, 0>;
