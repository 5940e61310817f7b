// The span size tables: for every family of span routines, the member that serves each texture
// level size, so that a drawer swaps a family's generic member for the member with the level's
// masks built in. A block holds one family: the square array serves levels 2^i x 2^i, the tall
// array levels 2^i x 2^(i+1), i the log2 of the width; a size without a member of its own holds
// the generic member, which also stands in square slot 0. Blocks 0 to 17 serve the 8-bit drawer
// (affine opaque modes 1 to 5, affine keyed 1 to 4, perspective opaque 1 to 5, perspective
// keyed 1 to 4), blocks 18 and 19 the colour drawer (affine and perspective opaque mode 1).
// Results: routines; a look-up that finds nothing keeps the routine it was given.
#pragma once

#include <cstdint>

#include "engine/core/span_state.h"
#include "engine/raster/exact_spans_internal.h"

// An entry: an opaque routine in an opaque block, a keyed routine in a keyed block, or none.
union R3xSpanSizeEntry {
  R3xSpanRoutine opaque;
  R3xKeyedSpanRoutine keyed;
};

inline constexpr std::int32_t R3X_SPAN_SIZE_SLOTS = 10;

struct R3xSpanSizeBlock {
  R3xSpanSizeEntry square[R3X_SPAN_SIZE_SLOTS];
  R3xSpanSizeEntry tall[R3X_SPAN_SIZE_SLOTS];
};

inline constexpr std::int32_t R3X_SPAN_BLOCK_AFFINE_OPAQUE = 0;
inline constexpr std::int32_t R3X_SPAN_BLOCK_AFFINE_KEYED = 5;
inline constexpr std::int32_t R3X_SPAN_BLOCK_PERSP_OPAQUE = 9;
inline constexpr std::int32_t R3X_SPAN_BLOCK_PERSP_KEYED = 14;
inline constexpr std::int32_t R3X_SPAN_BLOCK_COLOUR_AFFINE = 18;
inline constexpr std::int32_t R3X_SPAN_BLOCK_COLOUR_PERSP = 19;
inline constexpr std::int32_t R3X_SPAN_SIZE_BLOCKS = 20;

extern const R3xSpanSizeBlock _r3xSpanSizeTables[R3X_SPAN_SIZE_BLOCKS];

// The member for the span state's level of the 8-bit drawer's family whose generic member is
// `routine`. The routine itself when it is no such generic member, when the level is neither
// square nor twice as high as wide, or when the level's slot is empty (no routine there serves
// it).
R3xSpanRoutine _r3xSpanSizeMemberOpaque(const R3xSpanState& span, R3xSpanRoutine routine);
R3xKeyedSpanRoutine _r3xSpanSizeMemberKeyed(const R3xSpanState& span, R3xKeyedSpanRoutine routine);
// The same for the colour drawer's texel routine, from its own two blocks.
R3xSpanRoutine _r3xSpanSizeMemberColour(const R3xSpanState& span, R3xSpanRoutine routine);
