#include <cstdint>
#include <cstring>

#include "engine/core/render_context.h"
#include "engine/raster/flat_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_pixel_internal.h"

void _r3xSpanFill8(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  if (count < 1) {
    return;
  }
  const R3xSpanState& span = context->span;
  std::memset(span.destination + x, static_cast<int>(span.flatColour & 0xFFu),
              static_cast<std::size_t>(count));
}

void _r3xSpanFlatLit8(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  const std::uint8_t* shade = span.shadeData;
  const std::uint32_t colour = span.flatColour & 0xFFu;
  std::uint8_t* row = span.destination;
  R3xShadeWords words = _r3xShadeWordsAt(span, x);
  for (std::int32_t i = 0; i < count; ++i) {
    row[x + i] = shade[_r3xLightRowOffset(words.light) | colour];
    words.light = _r3xWrapAdd(words.light, words.lightStep);
  }
}

void _r3xSpanFlatLitFog8(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  const std::uint8_t* shade = span.shadeData;
  const std::uint32_t colour = span.flatColour & 0xFFu;
  std::uint8_t* row = span.destination;
  R3xShadeWords words = _r3xShadeWordsAt(span, x);
  for (std::int32_t i = 0; i < count; ++i) {
    row[x + i] = shade[_r3xFogBlockOffset(words.fog) | _r3xLightRowOffset(words.light) | colour];
    words.light = _r3xWrapAdd(words.light, words.lightStep);
    words.fog = _r3xWrapAdd(words.fog, words.fogStep);
  }
}
