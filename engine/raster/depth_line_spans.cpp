// The span routines of the constant-depth line method: per pixel only fixed-point additions
// and one table look-up; each segment's quadratic is evaluated once where the span enters it.
#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/raster/depth_lines_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_pixel_internal.h"

namespace {

// u, v and their first and second differences across the lines, 10.22.
struct Walk {
  std::int32_t u;
  std::int32_t v;
  std::int32_t du;
  std::int32_t dv;
  std::int32_t ddu;
  std::int32_t ddv;
};

// The segment's values t lines past its first line.
Walk Evaluate(const R3xLineSegment& s, float t) {
  if (t == 0.0f) {
    return {_r3xFixed22(s.u),  _r3xFixed22(s.v),   _r3xFixed22(s.du),
            _r3xFixed22(s.dv), _r3xFixed22(s.ddu), _r3xFixed22(s.ddv)};
  }
  return {_r3xFixed22(s.u + s.bu * t + s.cu * t * t),
          _r3xFixed22(s.v + s.bv * t + s.cv * t * t),
          _r3xFixed22(s.du + s.ddu * t),
          _r3xFixed22(s.dv + s.ddv * t),
          _r3xFixed22(s.ddu),
          _r3xFixed22(s.ddv)};
}

// Where a run of pixels lies: rows step by one byte, columns by the pitch and read their levels
// back from the image.
struct Axis {
  bool columns;
  std::int32_t fraction;
};

std::int32_t Position(const R3xLineSegment& s, bool columns) {
  return columns ? s.columnPosition : s.rowPosition;
}

template <int Mode>
std::uint8_t ColumnPixel(const R3xSpanState& span, std::uint8_t texel, std::uint8_t levels) {
  if constexpr (Mode == 1) {
    return texel;
  } else if constexpr (Mode == 2) {
    return span.shadeRow[texel];
  } else {
    return span.shadeData[(static_cast<std::uint32_t>(levels) << 8) | texel];
  }
}

// Draws count pixels from pixel index first (x, or the row of the column) at out, stride bytes
// apart, walking the segments from the one that holds first.
template <int Mode, bool Columns, int Fraction>
void WalkSegments(R3xSpanState& span, std::uint8_t* out, std::int32_t stride, std::int32_t first,
                  std::int32_t count) {
  const R3xLineSegment* segment = span.lineSegments;
  const R3xLineSegment* sentinel = span.lineSegments - 1 + span.depthLines.segmentCount;
  const std::int64_t target = std::int64_t{first} << Fraction;
  while (segment < sentinel && Position(*segment, Columns) < target) {
    ++segment;
  }
  --segment;
  constexpr float kUnit = static_cast<float>(1 << Fraction);
  float t = static_cast<float>(target - Position(*segment, Columns)) / kUnit;
  std::int32_t end = (Position(*segment, Columns) >> Fraction) + 1 + segment->pixelCount;
  R3xShadeWords words{};
  if constexpr (!Columns && Mode >= 3) {
    words = _r3xShadeWordsAt(span, first);
  }
  std::int32_t pixel = first;
  while (count > 0) {
    Walk w = Evaluate(*segment, t);
    std::int32_t n = end - pixel;
    if (n > count || segment + 1 >= sentinel) {
      // The last segment draws on with its own quadratic.
      n = count;
    }
    for (std::int32_t i = 0; i < n; ++i) {
      const std::uint8_t texel = _r3xTexel(span, w.u, w.v);
      if constexpr (Columns) {
        *out = ColumnPixel<Mode>(span, texel, *out);
      } else {
        *out = _r3xShadePixel<Mode>(span, texel, words);
      }
      out += stride;
      w.u = _r3xWrapAdd(w.u, w.du);
      w.du = _r3xWrapAdd(w.du, w.ddu);
      w.v = _r3xWrapAdd(w.v, w.dv);
      w.dv = _r3xWrapAdd(w.dv, w.ddv);
    }
    pixel += n;
    count -= n;
    if (count > 0) {
      ++segment;
      t = static_cast<float>((std::int64_t{pixel} << Fraction) - Position(*segment, Columns)) /
          kUnit;
      end += segment->pixelCount;
    }
  }
}

template <int Mode, int Fraction>
void SpanRows(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  R3xSpanState& span = context->span;
  WalkSegments<Mode, false, Fraction>(span, span.destination + x, 1, x, count);
}

template <int Mode>
void SpanColumn(R3xRenderContext* context, std::int32_t row, std::int32_t count) {
  R3xSpanState& span = context->span;
  WalkSegments<Mode, true, 20>(span, span.destination + std::int64_t{row} * span.columnPitch,
                               span.columnPitch, row, count);
}

template <int Mode>
void SpanHoriz(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  R3xSpanState& span = context->span;
  const auto at = static_cast<float>(x);
  std::int32_t u = _r3xFixed22(at * span.xGradients[0] + span.interpolants[0]);
  std::int32_t v = _r3xFixed22(at * span.xGradients[1] + span.interpolants[1]);
  R3xShadeWords words{};
  if constexpr (Mode >= 3) {
    words = _r3xShadeWordsAt(span, x);
  }
  std::uint8_t* out = span.destination + x;
  for (std::int32_t i = 0; i < count; ++i) {
    out[i] = _r3xShadePixel<Mode>(span, _r3xTexel(span, u, v), words);
    u = _r3xWrapAdd(u, span.uStep);
    v = _r3xWrapAdd(v, span.vStep);
  }
}

}  // namespace

void _r3xSpanDepthRowsMode1(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanRows<1, 20>(c, x, n);
}
void _r3xSpanDepthRowsMode2(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanRows<2, 20>(c, x, n);
}
void _r3xSpanDepthRowsMode3(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanRows<3, 20>(c, x, n);
}
void _r3xSpanDepthRowsMode4(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanRows<4, 20>(c, x, n);
}
void _r3xSpanDepthRows16Mode1(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanRows<1, 16>(c, x, n);
}
void _r3xSpanDepthRows16Mode2(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanRows<2, 16>(c, x, n);
}
void _r3xSpanDepthRows16Mode3(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanRows<3, 16>(c, x, n);
}
void _r3xSpanDepthRows16Mode4(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanRows<4, 16>(c, x, n);
}
void _r3xSpanDepthHorizMode1(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanHoriz<1>(c, x, n);
}
void _r3xSpanDepthHorizMode2(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanHoriz<2>(c, x, n);
}
void _r3xSpanDepthHorizMode3(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanHoriz<3>(c, x, n);
}
void _r3xSpanDepthHorizMode4(R3xRenderContext* c, std::int32_t x, std::int32_t n) {
  SpanHoriz<4>(c, x, n);
}
void _r3xSpanDepthColumnMode1(R3xRenderContext* c, std::int32_t row, std::int32_t n) {
  SpanColumn<1>(c, row, n);
}
void _r3xSpanDepthColumnMode2(R3xRenderContext* c, std::int32_t row, std::int32_t n) {
  SpanColumn<2>(c, row, n);
}
void _r3xSpanDepthColumnMode3(R3xRenderContext* c, std::int32_t row, std::int32_t n) {
  SpanColumn<3>(c, row, n);
}
void _r3xSpanDepthColumnMode4(R3xRenderContext* c, std::int32_t row, std::int32_t n) {
  SpanColumn<4>(c, row, n);
}
