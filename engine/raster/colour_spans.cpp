#include <algorithm>
#include <cstdint>

#include "base/pixel16.h"
#include "engine/core/render_context.h"
#include "engine/raster/colour_spans_internal.h"
#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/raster_numeric_internal.h"

namespace {

// A 12.20 word's level 0 .. 63 (bits 15 to 20) as a modulation table row offset; level 32 is
// the identity row.
constexpr std::uint32_t kIdentityRow = 32 * 256;
inline std::uint32_t levelRow(std::int32_t word) {
  return (static_cast<std::uint32_t>(word) & 0x1F8000u) >> 7;
}
// Fog levels run 0 to 31; a word stepped past the range counts as full fog, so that the
// complementary row never lies before the table.
inline std::uint32_t fogRow(std::int32_t word) { return std::min(levelRow(word), kIdentityRow); }

inline std::uint32_t channel(std::uint32_t colour, int shift) { return colour >> shift & 0xFFu; }
inline std::uint32_t makeColour(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return red | green << 8 | blue << 16;
}
inline std::uint32_t paletteColour(const std::uint8_t* palette, std::uint8_t index) {
  const std::uint8_t* entry = palette + std::size_t{index} * R3X_PALETTE_COLOUR_BYTES;
  return makeColour(entry[0], entry[1], entry[2]);
}

// The three light words and the fog word of a span's first pixel and their steps.
struct ColourWords {
  std::int32_t red, green, blue, fog;
  std::int32_t redStep, greenStep, blueStep, fogStep;
};

ColourWords wordsAt(const R3xSpanState& span, std::int32_t x) {
  const float offset = static_cast<float>(x) - span.lightOriginX;
  return {_r3xLevelWord(span.light + offset * span.lightStep),
          _r3xLevelWord(span.green + offset * span.greenStep),
          _r3xLevelWord(span.blue + offset * span.blueStep),
          _r3xLevelWord(span.fog + offset * span.fogStep),
          span.lightStepFixed,
          span.greenStepFixed,
          span.blueStepFixed,
          span.fogStepFixed};
}

enum class Shade { Lit, Fog, LitFog };

// One colour through the light levels and then the fog level of the words, which move on by one
// pixel.
template <Shade S>
inline std::uint32_t shadeColour(const std::uint8_t* m, std::uint32_t fogColour, std::uint32_t c,
                                 ColourWords& w) {
  std::uint32_t r = channel(c, 0);
  std::uint32_t g = channel(c, 8);
  std::uint32_t b = channel(c, 16);
  if constexpr (S != Shade::Fog) {
    r = m[levelRow(w.red) + r];
    g = m[levelRow(w.green) + g];
    b = m[levelRow(w.blue) + b];
    w.red = _r3xWrapAdd(w.red, w.redStep);
    w.green = _r3xWrapAdd(w.green, w.greenStep);
    w.blue = _r3xWrapAdd(w.blue, w.blueStep);
  }
  if constexpr (S != Shade::Lit) {
    const std::uint32_t f = fogRow(w.fog);
    const std::uint32_t keep = kIdentityRow - f;
    r = m[keep + r] + m[f + channel(fogColour, 0)];
    g = m[keep + g] + m[f + channel(fogColour, 8)];
    b = m[keep + b] + m[f + channel(fogColour, 16)];
    w.fog = _r3xWrapAdd(w.fog, w.fogStep);
  }
  return makeColour(r, g, b);
}

template <Shade S>
void colourSpan(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  const std::uint8_t* m = context->modulation;
  const std::uint32_t fogColour = context->raster.fogColour;
  ColourWords words = wordsAt(span, x);
  for (std::int32_t i = x; i < x + count; ++i) {
    span.colourRow[i] =
        shadeColour<S>(m, fogColour, paletteColour(span.paletteColours, span.scratchRow[i]), words);
  }
}

template <Shade S>
void flatColourSpan(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  const std::uint8_t* m = context->modulation;
  const std::uint32_t fogColour = context->raster.fogColour;
  ColourWords words = wordsAt(span, x);
  for (std::int32_t i = x; i < x + count; ++i) {
    span.colourRow[i] = shadeColour<S>(m, fogColour, span.flatColour, words);
  }
}

// A colour packed by pixel format code: the RGB forms from the colour with red on top, the BGR
// forms from it as it is (blue on top).
template <int Format>
inline std::uint16_t pack(std::uint32_t colour) {
  static_assert(Format >= 1 && Format <= 4);
  if constexpr (Format == 1) {
    return static_cast<std::uint16_t>(arena::Pack555(arena::SwapRedBlue(colour)));
  } else if constexpr (Format == 2) {
    return static_cast<std::uint16_t>(arena::Pack565(arena::SwapRedBlue(colour)));
  } else if constexpr (Format == 3) {
    return static_cast<std::uint16_t>(arena::Pack555(colour));
  } else {
    return static_cast<std::uint16_t>(arena::Pack565(colour));
  }
}

template <int Format>
void output16(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  for (std::int32_t i = x; i < x + count; ++i) {
    span.destination16[i] = pack<Format>(span.colourRow[i]);
  }
}

template <int Format>
void output16b(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  for (std::int32_t i = x; i < x + count; ++i) {
    span.destination16[i] = pack<Format>(paletteColour(span.paletteColours, span.scratchRow[i]));
  }
}

template <int Format>
void fill16(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  if (count < 1) {
    return;
  }
  std::fill_n(span.destination16 + x, count, pack<Format>(span.flatColour));
}

}  // namespace

void _r3xSpanColorCopy(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  for (std::int32_t i = x; i < x + count; ++i) {
    span.colourRow[i] = paletteColour(span.paletteColours, span.scratchRow[i]);
  }
}
void _r3xSpanColorLit(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  colourSpan<Shade::Lit>(context, x, count);
}
void _r3xSpanColorFog(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  colourSpan<Shade::Fog>(context, x, count);
}
void _r3xSpanColorLitFog(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  colourSpan<Shade::LitFog>(context, x, count);
}
void _r3xSpanFlatColorLit(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  flatColourSpan<Shade::Lit>(context, x, count);
}
void _r3xSpanFlatColorFog(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  flatColourSpan<Shade::Fog>(context, x, count);
}
void _r3xSpanFlatColorLitFog(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  flatColourSpan<Shade::LitFog>(context, x, count);
}

const R3xSpanRoutine _r3xSpanOut16[R3X_RASTER_PIXEL_FORMATS] = {&output16<1>, &output16<2>,
                                                                &output16<3>, &output16<4>};
const R3xSpanRoutine _r3xSpanOut16b[R3X_RASTER_PIXEL_FORMATS] = {&output16b<1>, &output16b<2>,
                                                                 &output16b<3>, &output16b<4>};
const R3xSpanRoutine _r3xSpanFill16[R3X_RASTER_PIXEL_FORMATS] = {&fill16<1>, &fill16<2>, &fill16<3>,
                                                                 &fill16<4>};

// The texel stage writes through destination, which points at the scratch row while the colour
// path draws, so its pixel x lands in the scratch row's column x.
void _r3xSpanComposeRGB(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  span.routine(context, x, count);
  span.colourRoutine(context, x, count);
  span.outputRoutine(context, x, count);
}

void _r3xSpanComposeDirect16(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  span.routine(context, x, count);
  span.colourRoutine(context, x, count);
}

void _r3xSpanComposeFlatRGB(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  const R3xSpanState& span = context->span;
  span.colourRoutine(context, x, count);
  span.outputRoutine(context, x, count);
}

std::int32_t _r3xSpanComposeKeyedRGB(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                     R3xCoveredRun** cursor, R3xCoveredRun** last,
                                     std::uint32_t* runCount, std::uint32_t* drawn,
                                     std::int32_t key, std::int32_t startsInside,
                                     std::int32_t* endsInside, R3xList16* list) {
  const R3xSpanState& span = context->span;
  span.routine(context, x, count);
  const auto keyTexel = static_cast<std::uint8_t>(key);
  const std::uint8_t* texels = span.scratchRow;
  R3xCoveredRun* at = *cursor;
  std::uint32_t pixels = *drawn;
  bool inside = startsInside != 0;
  std::int32_t runStart = x;
  const std::int32_t end = x + count;
  const auto drawRun = [&](std::int32_t stop) {
    if (stop > runStart) {
      pixels += static_cast<std::uint32_t>(stop - runStart);
      span.colourRoutine(context, runStart, stop - runStart);
      span.outputRoutine(context, runStart, stop - runStart);
    }
    _r3xEndCoveredRun(stop, &at);
  };
  for (std::int32_t px = x; px < end; ++px) {
    const bool isKey = texels[px] == keyTexel;
    if (inside && isKey) {
      drawRun(px);
      inside = false;
    } else if (!inside && !isKey) {
      if (_r3xRecordCoveredRun(list, px, runCount, &at, last) != 0) {
        *cursor = at;
        *drawn = pixels;
        return R3X_RUNS_CANNOT_GROW;
      }
      runStart = px;
      inside = true;
    }
  }
  if (inside) {
    drawRun(end);
  }
  *endsInside = inside ? 1 : 0;
  *cursor = at;
  *drawn = pixels;
  return 0;
}
