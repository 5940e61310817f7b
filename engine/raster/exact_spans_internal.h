// Exact span routines: perspective-correct texturing with one division per pixel, opaque and
// colour-keyed, one per shading mode 1 to 4. The keyed routines follow the contract of every
// colour-keyed span routine: a texel equal to the key is not drawn, and the runs drawn are
// recorded in the row's covered-run list as they are met.
// Results: the keyed routines 0 or R3X_RUNS_CANNOT_GROW; the opaque routines nothing.
#pragma once

#include <cstdint>

#include "engine/core/render_work_arrays.h"

struct R3xRenderContext;

void _r3xSpanExactOpaqueMode1(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanExactOpaqueMode2(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanExactOpaqueMode3(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanExactOpaqueMode4(R3xRenderContext* context, std::int32_t x, std::int32_t count);

// The colour-keyed span call: the row's insertion point (where the next new run goes) and
// last-run address, its run count, the running count of pixels drawn, the key colour, whether
// the span begins at the end of the run before the insertion point (a drawn first texel then
// extends that run), and out: whether the span's last pixel was drawn (that run then ends at the
// span's end). On R3X_RUNS_CANNOT_GROW the pixels and runs so far stay, with the insertion point
// and the drawn count stored.
using R3xKeyedSpanRoutine = std::int32_t (*)(R3xRenderContext* context, std::int32_t x,
                                             std::int32_t count, R3xCoveredRun** cursor,
                                             R3xCoveredRun** last, std::uint32_t* runCount,
                                             std::uint32_t* drawn, std::int32_t key,
                                             std::int32_t startsInside, std::int32_t* endsInside,
                                             R3xList16* list);

std::int32_t _r3xSpanExactKeyedMode1(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list);
std::int32_t _r3xSpanExactKeyedMode2(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list);
std::int32_t _r3xSpanExactKeyedMode3(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list);
std::int32_t _r3xSpanExactKeyedMode4(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list);
