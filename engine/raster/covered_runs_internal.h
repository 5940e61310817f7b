// The covered runs of the image's rows: the polygons of a view are drawn front to back, and each
// row keeps its sorted list of the pixel runs already covered, so that a later polygon fills only
// the gaps. A colour-keyed span records the runs it actually drew through these two routines.
// Results: 0 or R3X_RUNS_CANNOT_GROW; R3X_DONE or R3X_ERR_FAILED for the preparation.
#pragma once

#include <cstdint>

#include "engine/core/error.h"
#include "engine/core/render_work_arrays.h"

struct R3xRenderContext;

// A row's run array could not grow: the polygon being drawn ends.
inline constexpr std::int32_t R3X_RUNS_CANNOT_GROW = -1;
// The depth of a run that no later polygon may overdraw.
inline constexpr float R3X_RUN_DEPTH_OPAQUE = 1e30f;

// Inserts a run starting at x (depth R3X_RUN_DEPTH_OPAQUE, end set later) at the cursor and moves
// the cursor past it; the list grows by 16 runs first when full, with the cursor and the last-run
// address moved into the new array. R3X_RUNS_CANNOT_GROW, with nothing changed, when it cannot.
std::int32_t _r3xRecordCoveredRun(R3xList16* list, std::int32_t x, std::uint32_t* count,
                                  R3xCoveredRun** cursor, R3xCoveredRun** last);
// Ends the run just before the cursor at x.
void _r3xEndCoveredRun(std::int32_t x, R3xCoveredRun** cursor);

// At the start of an image: a run list for every row of the image (the lists grow to the image
// height, 31 runs each; when they cannot they stay as they were and the result is R3X_ERR_FAILED,
// and nothing may be drawn), every row's run count 0. R3X_DONE.
std::int32_t _r3xPrepareRowRuns(R3xRenderContext* context);
