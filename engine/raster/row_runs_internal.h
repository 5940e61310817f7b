// Drawing one row's span of a face into the image where the row's covered runs leave it free,
// faces arriving nearest first: an opaque span fills the gaps between the runs and joins them
// into one run; a colour-keyed span hands each gap to its keyed routine, which records runs only
// for the texels it draws. Spans that touch a run join it.
// Results: 0 or R3X_RUNS_CANNOT_GROW.
#pragma once

#include <cstdint>

#include "engine/core/render_work_arrays.h"
#include "engine/core/span_state.h"
#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/exact_spans_internal.h"

struct R3xRenderContext;

// A row's covered runs: the list header and the run count.
struct R3xRowRuns {
  R3xList16* list;
  std::uint32_t* count;
};

// Room for one run more in the row's list (it grows by 16 runs when full). 0, or
// R3X_RUNS_CANNOT_GROW with the list as it was.
std::int32_t _r3xRoomForRun(const R3xRowRuns& row);
// Inserts the run at index `at`, moving the runs from there on up. 0 or R3X_RUNS_CANNOT_GROW.
std::int32_t _r3xInsertRun(const R3xRowRuns& row, std::uint32_t at, const R3xCoveredRun& run);
// Removes the run at index `at`, moving the later runs down.
void _r3xRemoveRun(const R3xRowRuns& row, std::uint32_t at);

// One keyed routine call for [x0, x1) whose runs go in at index *at (startsInside: the run before
// *at ends at x0 and a drawn first texel extends it); *at becomes the index after the runs it
// inserted. The routine's result.
std::int32_t _r3xKeyedStretch(R3xRenderContext* context, const R3xRowRuns& row, std::int32_t x0,
                              std::int32_t x1, R3xKeyedSpanRoutine routine, std::int32_t key,
                              std::int32_t startsInside, std::int32_t* endsInside,
                              std::uint32_t* at, std::uint32_t* balance);

// Draws the free pixels of [x0, x1) with the opaque routine (each piece adds its count to
// *balance) and leaves them covered. On R3X_RUNS_CANNOT_GROW the pieces drawn so far stay.
std::int32_t _r3xInsertOpaqueSpan(R3xRenderContext* context, const R3xRowRuns& row, std::int32_t x0,
                                  std::int32_t x1, R3xSpanRoutine routine, std::uint32_t* balance);
// Hands each free stretch of [x0, x1) to the keyed routine with the list position of its runs
// (*balance is its drawn count). The keyed routine's result: 0 or R3X_RUNS_CANNOT_GROW.
std::int32_t _r3xInsertKeyedSpan(R3xRenderContext* context, const R3xRowRuns& row, std::int32_t x0,
                                 std::int32_t x1, R3xKeyedSpanRoutine routine, std::int32_t key,
                                 std::uint32_t* balance);
