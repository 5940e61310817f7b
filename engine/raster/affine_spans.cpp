// The affine span walk. A call converts u and v at its first pixel once, from their values at
// the origin x and their per-pixel changes in doubles, and then adds the 10.22 steps at every
// pixel: pixel i reads the texel of u0 + i x uStep, v0 + i x vStep (modulo 2^32) whatever the
// texels before it were. The light and fog are taken at the first pixel with the offset
// rounded to a float, as the original did; only their 12.20 steps move them afterwards.
#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/raster/affine_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_family_internal.h"

namespace {

constexpr double kBias22 = 1610612736.0;
constexpr double kBias20 = 6442450944.0;

// What a call starts from: u and v at its first pixel in 10.22, their steps, and the light and
// fog words there in 12.20.
struct AffineStart {
  std::uint32_t u;
  std::uint32_t v;
  std::uint32_t uStep;
  std::uint32_t vStep;
  R3xShadeWords words;
};

// u and v use the offset from the origin x as a double; the light and fog use it rounded to a
// float, so that the product with a float gradient is exact. Neither is clamped: a value past
// 1 or below 0 wraps its level.
template <int Mode>
AffineStart StartAt(const R3xSpanState& span, std::int32_t x) {
  const double offset = static_cast<double>(x) - static_cast<double>(span.lightOriginX);
  AffineStart start{};
  start.u = static_cast<std::uint32_t>(_r3xBiasedWord(
      static_cast<double>(span.xGradients[0]) * offset + static_cast<double>(span.interpolants[0]),
      kBias22));
  start.v = static_cast<std::uint32_t>(_r3xBiasedWord(
      static_cast<double>(span.xGradients[1]) * offset + static_cast<double>(span.interpolants[1]),
      kBias22));
  start.uStep = static_cast<std::uint32_t>(span.uStep);
  start.vStep = static_cast<std::uint32_t>(span.vStep);
  const double lightOffset = static_cast<float>(offset);
  if constexpr (Mode >= 3) {
    start.words.light = _r3xBiasedWord(
        static_cast<double>(span.lightStep) * lightOffset + static_cast<double>(span.light),
        kBias20);
    start.words.lightStep = span.lightStepFixed;
  }
  if constexpr (Mode == 4) {
    start.words.fog = _r3xBiasedWord(
        static_cast<double>(span.fogStep) * lightOffset + static_cast<double>(span.fog), kBias20);
    start.words.fogStep = span.fogStepFixed;
  }
  return start;
}

}  // namespace

template <int Mode, std::uint32_t Width, std::uint32_t Height>
void _r3xSpanAffineOpaque(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  const R3xTexelFetch<Width, Height> fetch(span);
  const AffineStart start = StartAt<Mode>(span, x);
  R3xSpanShade<Mode> shade(span, start.words);
  std::uint8_t* const out = span.destination + x;
  std::uint32_t u = start.u;
  std::uint32_t v = start.v;
  // Whole passes of 16, then a tail that keeps the last pass's levels; a count of 0 or less
  // draws nothing.
  const std::int32_t passEnd = count & ~15;
  std::int32_t i = 0;
  shade.BeginBlock();
  for (; i < passEnd; i += 16) {
#pragma GCC unroll 16
    for (std::int32_t j = 0; j < 16; ++j) {
      out[i + j] = shade.Pixel(fetch(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v)));
      u += start.uStep;
      v += start.vStep;
    }
    shade.NextBlock();
    shade.BeginBlock();
  }
  for (; i < count; ++i) {
    out[i] = shade.Pixel(fetch(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v)));
    u += start.uStep;
    v += start.vStep;
  }
}

template <int Mode, std::uint32_t Width, std::uint32_t Height>
std::int32_t _r3xSpanAffineKeyed(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                 R3xCoveredRun** cursor, R3xCoveredRun** last,
                                 std::uint32_t* runCount, std::uint32_t* drawn, std::int32_t key,
                                 std::int32_t startsInside, std::int32_t* endsInside,
                                 R3xList16* list) {
  static_assert(Mode <= 4, "no keyed family steps its light at every pixel");
  const R3xSpanState& span = context->span;
  const R3xTexelFetch<Width, Height> fetch(span);
  const AffineStart start = StartAt<Mode>(span, x);
  R3xSpanShade<Mode> shade(span, start.words);
  R3xKeyedRuns runs(cursor, last, runCount, drawn, startsInside, list);
  std::uint8_t* const row = span.destination;
  const auto keyTexel = static_cast<std::uint8_t>(key);
  std::uint32_t u = start.u;
  std::uint32_t v = start.v;
  const std::int32_t end = x + count;
  const std::int32_t passEnd = x + (count & ~15);
  std::int32_t column = x;
  // Key texels step u, v and the pass like drawn ones; the levels move after every whole pass
  // in either run state.
  shade.BeginBlock();
  while (column < passEnd) {
    for (const std::int32_t blockEnd = column + 16; column < blockEnd; ++column) {
      const std::uint8_t texel = fetch(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v));
      u += start.uStep;
      v += start.vStep;
      const std::int32_t result = _r3xKeyedPixel<Mode>(row, column, texel, keyTexel, shade, runs);
      if (result < 0) {
        return result;
      }
    }
    shade.NextBlock();
    shade.BeginBlock();
  }
  for (; column < end; ++column) {
    const std::uint8_t texel = fetch(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v));
    u += start.uStep;
    v += start.vStep;
    const std::int32_t result = _r3xKeyedPixel<Mode>(row, column, texel, keyTexel, shade, runs);
    if (result < 0) {
      return result;
    }
  }
  return runs.Finish(end, endsInside);
}

// The members: every family's generic member and the sizes the span size tables give it.
#define R3X_AFFINE_OPAQUE_MEMBER(mode, width, height)                                      \
  template void _r3xSpanAffineOpaque<mode, width, height>(R3xRenderContext*, std::int32_t, \
                                                          std::int32_t);
#define R3X_AFFINE_OPAQUE_FAMILY(mode) R3X_SPAN_OPAQUE_SIZES(R3X_AFFINE_OPAQUE_MEMBER, mode)
#define R3X_AFFINE_KEYED_MEMBER(mode, width, height)                                   \
  template std::int32_t _r3xSpanAffineKeyed<mode, width, height>(                      \
      R3xRenderContext*, std::int32_t, std::int32_t, R3xCoveredRun**, R3xCoveredRun**, \
      std::uint32_t*, std::uint32_t*, std::int32_t, std::int32_t, std::int32_t*, R3xList16*);
#define R3X_AFFINE_KEYED_FAMILY(mode) R3X_SPAN_KEYED_SIZES(R3X_AFFINE_KEYED_MEMBER, mode)

R3X_AFFINE_OPAQUE_FAMILY(1)
R3X_AFFINE_OPAQUE_FAMILY(2)
R3X_AFFINE_OPAQUE_FAMILY(3)
R3X_AFFINE_OPAQUE_FAMILY(4)
R3X_AFFINE_OPAQUE_FAMILY(5)
R3X_AFFINE_KEYED_FAMILY(1)
R3X_AFFINE_KEYED_FAMILY(2)
R3X_AFFINE_KEYED_FAMILY(3)
R3X_AFFINE_KEYED_FAMILY(4)
