// One division per pixel: the exact routines are for faces where the other methods are not
// precise enough, so they have no size-specialised copies.
#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/exact_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_pixel_internal.h"

namespace {

// u/z, v/z and 1/z stepped along the row, giving each pixel's texel.
struct ExactWalk {
  float u;
  float v;
  float w;

  ExactWalk(const R3xSpanState& span, std::int32_t x)
      : u(static_cast<float>(x) * span.xGradients[0] + span.interpolants[0]),
        v(static_cast<float>(x) * span.xGradients[1] + span.interpolants[1]),
        w(static_cast<float>(x) * span.xGradients[2] + span.interpolants[2]) {}

  std::uint8_t Texel(const R3xSpanState& span) const {
    if (w == 0.0f) {
      return span.texels[0];
    }
    const float z = 1.0f / w;
    return _r3xTexel(span, _r3xFixed22(u * z), _r3xFixed22(v * z));
  }

  void Step(const R3xSpanState& span) {
    u += span.xGradients[0];
    v += span.xGradients[1];
    w += span.xGradients[2];
  }
};

template <int Mode>
R3xShadeWords WordsAt(const R3xSpanState& span, std::int32_t x) {
  if constexpr (Mode >= 3) {
    return _r3xShadeWordsAt(span, x);
  } else {
    return {};
  }
}

template <int Mode>
void SpanOpaque(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  ExactWalk walk(span, x);
  R3xShadeWords words = WordsAt<Mode>(span, x);
  std::uint8_t* out = span.destination + x;
  for (std::int32_t i = 0; i < count; ++i) {
    out[i] = _r3xShadePixel<Mode>(span, walk.Texel(span), words);
    walk.Step(span);
  }
}

template <int Mode>
std::int32_t SpanKeyed(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                       R3xCoveredRun** cursor, R3xCoveredRun** last, std::uint32_t* runCount,
                       std::uint32_t* drawn, std::int32_t key, std::int32_t startsInside,
                       std::int32_t* endsInside, R3xList16* list) {
  const R3xSpanState& span = context->span;
  ExactWalk walk(span, x);
  R3xShadeWords words = WordsAt<Mode>(span, x);
  const auto keyTexel = static_cast<std::uint8_t>(key);
  bool inside = startsInside != 0;
  std::uint32_t pixels = *drawn;
  R3xCoveredRun* at = *cursor;
  const std::int32_t end = x + count;
  for (std::int32_t px = x; px < end; ++px) {
    const std::uint8_t texel = walk.Texel(span);
    walk.Step(span);
    if (texel == keyTexel) {
      _r3xStepShadeWords<Mode>(words);
      if (inside) {
        _r3xEndCoveredRun(px, &at);
        inside = false;
      }
      continue;
    }
    span.destination[px] = _r3xShadePixel<Mode>(span, texel, words);
    ++pixels;
    if (!inside) {
      if (_r3xRecordCoveredRun(list, px, runCount, &at, last) != 0) {
        *drawn = pixels;
        *cursor = at;
        return R3X_RUNS_CANNOT_GROW;
      }
      inside = true;
    }
  }
  if (inside) {
    _r3xEndCoveredRun(end, &at);
  }
  *endsInside = inside ? 1 : 0;
  *cursor = at;
  *drawn = pixels;
  return 0;
}

}  // namespace

void _r3xSpanExactOpaqueMode1(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanOpaque<1>(c, x, n);
}
void _r3xSpanExactOpaqueMode2(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanOpaque<2>(c, x, n);
}
void _r3xSpanExactOpaqueMode3(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanOpaque<3>(c, x, n);
}
void _r3xSpanExactOpaqueMode4(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanOpaque<4>(c, x, n);
}

std::int32_t _r3xSpanExactKeyedMode1(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list) {
  return SpanKeyed<1>(context, x, count, cursor, last, runCount, drawn, key, startsInside,
                      endsInside, list);
}
std::int32_t _r3xSpanExactKeyedMode2(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list) {
  return SpanKeyed<2>(context, x, count, cursor, last, runCount, drawn, key, startsInside,
                      endsInside, list);
}
std::int32_t _r3xSpanExactKeyedMode3(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list) {
  return SpanKeyed<3>(context, x, count, cursor, last, runCount, drawn, key, startsInside,
                      endsInside, list);
}
std::int32_t _r3xSpanExactKeyedMode4(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list) {
  return SpanKeyed<4>(context, x, count, cursor, last, runCount, drawn, key, startsInside,
                      endsInside, list);
}
