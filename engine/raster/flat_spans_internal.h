// The 8-bit drawer's untextured span routines: the flat colour filled, or shaded per pixel by
// the light (and the fog) stepped along the span.
// Results: none.
#pragma once

#include <cstdint>

struct R3xRenderContext;

// The span state's flat colour, count pixels from x of the current row.
void _r3xSpanFill8(R3xRenderContext* context, std::int32_t x, std::int32_t count);
// The flat colour at the light level of each pixel (the shade data's row of that level).
void _r3xSpanFlatLit8(R3xRenderContext* context, std::int32_t x, std::int32_t count);
// The flat colour at the fog and light levels of each pixel (the shade data's fog block, then
// its light row).
void _r3xSpanFlatLitFog8(R3xRenderContext* context, std::int32_t x, std::int32_t count);
