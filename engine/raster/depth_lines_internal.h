// Drawing textured faces along lines of constant depth, where u and v change linearly and need
// no division per pixel: the set-up that chooses how the lines run (rows: at most 7 pixels across
// per scan line; columns: flatter; horizontal: depth constant along scan lines) and fits u and v
// quadratically over groups of lines (the line segments), the span routines of each kind and
// shading mode, and the column pass of the column kind with its per-column run lists.
// Results: 0 or R3X_DONE, or R3X_DEPTHLINE_NO_ROOM or R3X_ERR_FAILED; span routines none.
#pragma once

#include <cstdint>

#include "engine/core/error.h"
#include "engine/core/span_state.h"

struct R3xClipVertex;
struct R3xRenderContext;

// The line-segment array could not grow.
inline constexpr std::int32_t R3X_DEPTHLINE_NO_ROOM = -1;

// After the texture gradients: sets the kind and, for rows and columns, the line parameters and
// segments (the span state's line-segment pointer at the second record). R3X_DEPTHLINE_NO_ROOM
// when the segment
// array cannot grow (the array and its capacity then stay as they were, with no segments): the
// face cannot be drawn this way.
std::int32_t _r3xSetupDepthLines(R3xRenderContext* context, const R3xClipVertex* vertices,
                                 std::int32_t count);
std::int32_t _r3xBuildDepthLineRows(R3xRenderContext* context);
std::int32_t _r3xBuildDepthLineColumns(R3xRenderContext* context);

// Moves every segment and the sentinel on by one scan line (rows; the 16.16 positions by the
// slope shifted right by 4) or one column (columns).
void _r3xAdvanceDepthLines(R3xRenderContext* context);

// Rows, 12.20 and 16.16 positions.
void _r3xSpanDepthRowsMode1(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthRowsMode2(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthRowsMode3(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthRowsMode4(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthRows16Mode1(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthRows16Mode2(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthRows16Mode3(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthRows16Mode4(R3xRenderContext* context, std::int32_t x, std::int32_t count);
// Horizontal: u and v at x = 0 of the row in the interpolants, stepped by the u and v steps.
void _r3xSpanDepthHorizMode1(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthHorizMode2(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthHorizMode3(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanDepthHorizMode4(R3xRenderContext* context, std::int32_t x, std::int32_t count);

// Columns, first pass: records the rows of each column that the span covers (modes 3 and 4 also
// write the pixel's levels into the image: light, or fog << 4 | light). A run array that cannot
// grow ends the recording of the span.
void _r3xSpanRecordColumnRuns(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanRecordColumnRunsMode3(R3xRenderContext* context, std::int32_t x, std::int32_t count);
void _r3xSpanRecordColumnRunsMode4(R3xRenderContext* context, std::int32_t x, std::int32_t count);
// Columns, second pass: rows first .. first + count - 1 of the current column (the modes 3 and 4
// read the levels back from the image).
void _r3xSpanDepthColumnMode1(R3xRenderContext* context, std::int32_t row, std::int32_t count);
void _r3xSpanDepthColumnMode2(R3xRenderContext* context, std::int32_t row, std::int32_t count);
void _r3xSpanDepthColumnMode3(R3xRenderContext* context, std::int32_t row, std::int32_t count);
void _r3xSpanDepthColumnMode4(R3xRenderContext* context, std::int32_t row, std::int32_t count);

// Before a column-kind face: one run list for every column of the image (the lists grow to the
// image width, 32 runs each; when they cannot, they stay as they were and the result is
// R3X_ERR_FAILED, and the face is not drawn this way), each reset to its dummy run. R3X_DONE.
std::int32_t _r3xResetColumnRuns(R3xRenderContext* context);
// Draws every recorded run of the columns from the first to the last column with the column
// routine, advancing the segments by a column each.
void _r3xDrawDepthColumns(R3xRenderContext* context, R3xSpanRoutine columnRoutine);
