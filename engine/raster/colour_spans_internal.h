// The colour path's span routines. A span goes through up to three stages: the texel stage (an
// 8-bit mode-1 span routine writing texel indexes into the scratch row), the colour stage (texel
// indexes or the flat colour to 32-bit colours through the palette colours, light and fog applied
// per channel through the modulation table) and the output stage (colours packed into the
// device's 16-bit pixels). The compose routines chain the stages; the output, fill and
// palette-to-16-bit routines come one per pixel format code (1 x555 RGB, 2 565 RGB, 3 x555 BGR,
// 4 565 BGR). Colours hold red in bits 0-7, green in 8-15 and blue in 16-23; the rows are indexed
// by column like the image row.
// Results: the keyed compose routine 0 or R3X_RUNS_CANNOT_GROW; the others nothing.
#pragma once

#include <cstdint>

#include "engine/core/raster_routines.h"
#include "engine/core/render_work_arrays.h"

struct R3xRenderContext;

// Colour stage: palette colours of the scratch row's indexes, unchanged (the keyed face's stage
// when the face is neither lit nor fogged per pixel), lit, fogged, or lit then fogged.
void _r3xSpanColorCopy(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanColorLit(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanColorFog(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanColorLitFog(R3xRenderContext* context, std::int32_t x, std::int32_t count);
// Colour stage of untextured faces: the flat colour lit, fogged, or lit then fogged.
void _r3xSpanFlatColorLit(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanFlatColorFog(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanFlatColorLitFog(R3xRenderContext* context, std::int32_t x, std::int32_t count);

// Output stage by pixel format code at code - 1: the colour row into the 16-bit row.
extern const R3xSpanRoutine _r3xSpanOut16[R3X_RASTER_PIXEL_FORMATS];
// The palette colours of the scratch row's indexes into the 16-bit row, in one step.
extern const R3xSpanRoutine _r3xSpanOut16b[R3X_RASTER_PIXEL_FORMATS];
// The flat colour, packed once, into the 16-bit row.
extern const R3xSpanRoutine _r3xSpanFill16[R3X_RASTER_PIXEL_FORMATS];

// Texel stage, colour stage, output stage.
void _r3xSpanComposeRGB(R3xRenderContext* context, std::int32_t x, std::int32_t count);
// Texel stage, then the colour stage's routine, which is then a palette-to-16-bit routine.
void _r3xSpanComposeDirect16(R3xRenderContext* context, std::int32_t x, std::int32_t count);
// Colour stage (a flat colour routine), output stage.
void _r3xSpanComposeFlatRGB(R3xRenderContext* context, std::int32_t x, std::int32_t count);
// The colour-keyed call of R3xKeyedSpanRoutine: the texel stage, then each run of texels other
// than the key through the colour and output stages, recorded in the row's covered runs.
std::int32_t _r3xSpanComposeKeyedRGB(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list);
