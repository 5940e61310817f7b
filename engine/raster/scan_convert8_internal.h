// The 8-bit drawer's scan conversion: the projected face walked row by row between its left and
// right edges, each row's span handed to the face's routine where the row's covered runs leave
// it free (plainly, colour-keyed or depth-sorted), or, for an outline, only the span's border
// pieces, with the span state's per-row fields set and stepped. The colour drawer's faces go the
// same way with three light channels into the 16-bit image.
// Results: 0 or R3X_RUNS_CANNOT_GROW.
#pragma once

#include <cstdint>

#include "engine/raster/covered_runs_internal.h"

struct R3xRenderContext;
struct R3xFaceDraw;

// The rows from the face's top to its bottom, limited to the image. The vertices must run
// clockwise on the screen; the other way round nothing is drawn. Edges of no height are passed
// over.
std::int32_t _r3xScanConvert8(R3xRenderContext* context, R3xFaceDraw* face);

// The border pieces of an outline row [x0, x1) between the spans of the rows above and below
// (empty: x0 = 0x7FFFFFFF, x1 = -0x80000000): [x0, leftEnd) and [rightStart, x1), or the whole
// span when they meet (rightStart <= leftEnd).
struct R3xOutlinePieces {
  std::int32_t leftEnd;
  std::int32_t rightStart;
};
R3xOutlinePieces _r3xOutlinePieces(std::int32_t x0, std::int32_t x1, std::int32_t aboveX0,
                                   std::int32_t aboveX1, std::int32_t belowX0,
                                   std::int32_t belowX1);
