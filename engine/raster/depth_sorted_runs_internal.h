// Covered runs of faces that may arrive out of order: every run keeps its depth line (1/z at its
// far end and per pixel), and a later face replaces a run, or the part of it, where the face is
// strictly nearer; runs of plain insertion (depth 1e30) are never replaced.
// Results: 0 or R3X_RUNS_CANNOT_GROW.
#pragma once

#include <cstdint>

#include "engine/core/span_state.h"
#include "engine/raster/row_runs_internal.h"

// The face's depth along the current row: a x + c.
struct R3xRowDepth {
  float a;
  float c;
};

// Where a face of depth line `depth` is nearer than the run, within the run: [start, winEnd) at
// the run's start and [winStart, end) at its end; winEnd = start and winStart = end when
// nowhere, winEnd = end on the whole run. `nearest` is the face's nearest depth over its span.
struct R3xRunWin {
  std::int32_t winEnd;
  std::int32_t winStart;
};
R3xRunWin _r3xFaceWinsOnRun(const R3xCoveredRun& run, R3xRowDepth depth, float nearest);

// Draws the parts of [x0, x1) that no run covers or where the face is nearer than the run,
// storing the face's pieces with its depth line and trimming, splitting or removing the runs
// it hides. *balance grows by the pixels drawn and shrinks by the pixels hidden.
std::int32_t _r3xInsertDepthSortedSpan(R3xRenderContext* context, const R3xRowRuns& row,
                                       std::int32_t x0, std::int32_t x1, R3xRowDepth depth,
                                       R3xSpanRoutine routine, std::uint32_t* balance);

// The colour-keyed face: each stretch where the face is visible (the gap before a run with the
// run's winning start part, the run's winning end part, the stretch after the last run) goes to
// the keyed routine; the runs it records take the face's depth line, and an older run that the
// stretch lay over keeps what they leave free, in pieces around them.
std::int32_t _r3xInsertDepthSortedKeyedSpan(R3xRenderContext* context, const R3xRowRuns& row,
                                            std::int32_t x0, std::int32_t x1, R3xRowDepth depth,
                                            R3xKeyedSpanRoutine routine, std::int32_t key,
                                            std::uint32_t* balance);
