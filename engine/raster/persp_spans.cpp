// The perspective span walk. The planes u/z, v/z and 1/z are evaluated once, at the start of the
// first block, and reach every later block start by adding their 16-pixel steps, in doubles; a
// block's u, v at its start and at the next start come from one division each, and the pixels in
// between step by the difference over 16, rounded down. A pixel's u, v therefore depend only on
// its column and the row's grid, never on where the drawer cut the row into pieces; only an opaque
// span's last pixel is divided exactly. Light and fog are taken at the first block start with
// the offset in doubles and then move by their fixed steps.
#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/raster/persp_spans_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_family_internal.h"

namespace {

constexpr double kBias22 = 1610612736.0;
constexpr double kBias20 = 6442450944.0;

// 10.22 u, v from the planes at one column: one true division.
struct Texcoords {
  std::uint32_t u;
  std::uint32_t v;
};
Texcoords Divide(double uOverZ, double vOverZ, double oneOverZ) {
  const double z = 1.0 / oneOverZ;
  return {static_cast<std::uint32_t>(_r3xBiasedWord(z * uOverZ, kBias22)),
          static_cast<std::uint32_t>(_r3xBiasedWord(z * vOverZ, kBias22))};
}

// The start of the block of column x on the grid anchored at gridX, in wrapping arithmetic.
std::int32_t BlockStart(std::int32_t gridX, std::int32_t x) {
  const std::uint32_t offset = static_cast<std::uint32_t>(x) - static_cast<std::uint32_t>(gridX);
  return static_cast<std::int32_t>((offset & ~15u) + static_cast<std::uint32_t>(gridX));
}

// The blocks of one call: the current block's start, its u, v and pixel steps, and the planes
// and u, v at the next block start.
class PerspBlocks {
 public:
  PerspBlocks(const R3xSpanState& span, std::int32_t blockStart)
      : uStep_(span.xGradients[0]),
        vStep_(span.xGradients[1]),
        wStep_(span.xGradients[2]),
        uStep16_(span.xGradients16[0]),
        vStep16_(span.xGradients16[1]),
        wStep16_(span.xGradients16[2]),
        start_(blockStart) {
    const double column = blockStart;
    uOverZ_ = uStep_ * column + static_cast<double>(span.interpolants[0]);
    vOverZ_ = vStep_ * column + static_cast<double>(span.interpolants[1]);
    oneOverZ_ = wStep_ * column + static_cast<double>(span.interpolants[2]);
    current_ = Divide(uOverZ_, vOverZ_, oneOverZ_);
    AdvancePlanes();
    next_ = Divide(uOverZ_, vOverZ_, oneOverZ_);
  }

  std::int32_t Start() const { return start_; }
  Texcoords At() const { return current_; }
  // The pixel steps of the current block: the 10.22 difference to the next start over 16,
  // rounded toward minus infinity.
  Texcoords Steps() const {
    return {static_cast<std::uint32_t>(static_cast<std::int32_t>(next_.u - current_.u) >> 4),
            static_cast<std::uint32_t>(static_cast<std::int32_t>(next_.v - current_.v) >> 4)};
  }
  // On to the next block; its end is divided here.
  void Advance() {
    current_ = next_;
    start_ += 16;
    AdvancePlanes();
    next_ = Divide(uOverZ_, vOverZ_, oneOverZ_);
  }
  // The exact u, v at column `last` of the current block, from the planes at the next start.
  Texcoords Exact(std::int32_t last) const {
    const double back = static_cast<double>(start_ + 16 - last);
    return Divide(uOverZ_ - uStep_ * back, vOverZ_ - vStep_ * back, oneOverZ_ - wStep_ * back);
  }

 private:
  void AdvancePlanes() {
    uOverZ_ += uStep16_;
    vOverZ_ += vStep16_;
    oneOverZ_ += wStep16_;
  }

  double uStep_;
  double vStep_;
  double wStep_;
  double uStep16_;
  double vStep16_;
  double wStep16_;
  std::int32_t start_;
  // The planes at the next block start.
  double uOverZ_ = 0.0;
  double vOverZ_ = 0.0;
  double oneOverZ_ = 0.0;
  Texcoords current_{};
  Texcoords next_{};
};

// The 12.20 light and fog at the first block start: the offset from the light's origin in
// doubles, never rounded to a float, and no clamp (a level wraps).
template <int Mode>
R3xShadeWords EntryWords(const R3xSpanState& span, std::int32_t blockStart) {
  R3xShadeWords words{};
  const double offset = static_cast<double>(blockStart) - static_cast<double>(span.lightOriginX);
  if constexpr (Mode >= 3) {
    words.light = _r3xBiasedWord(
        offset * static_cast<double>(span.lightStep) + static_cast<double>(span.light), kBias20);
    words.lightStep = span.lightStepFixed;
  }
  if constexpr (Mode == 4) {
    words.fog = _r3xBiasedWord(
        offset * static_cast<double>(span.fogStep) + static_cast<double>(span.fog), kBias20);
    words.fogStep = span.fogStepFixed;
  }
  return words;
}

}  // namespace

template <int Mode, std::uint32_t Width, std::uint32_t Height>
void _r3xSpanPerspOpaque(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  // The walk always writes its last pixel: an empty span would write the pixel left of x.
  if (count < 1) {
    return;
  }
  const R3xSpanState& span = context->span;
  const R3xTexelFetch<Width, Height> fetch(span);
  std::uint8_t* const row = span.destination;
  const std::int32_t last = x + count - 1;
  PerspBlocks blocks(span, BlockStart(span.gridX, x));
  R3xSpanShade<Mode> shade(span, EntryWords<Mode>(span, blocks.Start()));
  std::int32_t column = x;
  for (;;) {
    shade.BeginBlock();
    const std::int32_t skipped = column - blocks.Start();
    const Texcoords step = blocks.Steps();
    std::uint32_t u = blocks.At().u + static_cast<std::uint32_t>(skipped) * step.u;
    std::uint32_t v = blocks.At().v + static_cast<std::uint32_t>(skipped) * step.v;
    shade.Skip(skipped);
    const std::int32_t blockEnd = blocks.Start() + 16;
    if (last < blockEnd) {
      // The last block: stepped pixels up to the last, which is divided exactly.
      const Texcoords exact = blocks.Exact(last);
      for (; column < last; ++column) {
        row[column] =
            shade.Pixel(fetch(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v)));
        u += step.u;
        v += step.v;
      }
      row[last] = shade.Pixel(
          fetch(static_cast<std::int32_t>(exact.u), static_cast<std::int32_t>(exact.v)));
      return;
    }
    // The next division goes out before the block's pixels, which do not wait for it.
    blocks.Advance();
    if (skipped == 0) {
      std::uint8_t* const out = row + column;
#pragma GCC unroll 16
      for (std::int32_t i = 0; i < 16; ++i) {
        out[i] = shade.Pixel(fetch(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v)));
        u += step.u;
        v += step.v;
      }
    } else {
      for (; column < blockEnd; ++column) {
        row[column] =
            shade.Pixel(fetch(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v)));
        u += step.u;
        v += step.v;
      }
    }
    column = blockEnd;
    shade.NextBlock();
  }
}

template <int Mode, std::uint32_t Width, std::uint32_t Height>
std::int32_t _r3xSpanPerspKeyed(R3xRenderContext* context, std::int32_t x, std::int32_t count,
                                R3xCoveredRun** cursor, R3xCoveredRun** last,
                                std::uint32_t* runCount, std::uint32_t* drawn, std::int32_t key,
                                std::int32_t startsInside, std::int32_t* endsInside,
                                R3xList16* list) {
  static_assert(Mode <= 4, "no keyed family steps its light at every pixel");
  const R3xSpanState& span = context->span;
  const R3xTexelFetch<Width, Height> fetch(span);
  std::uint8_t* const row = span.destination;
  const auto keyTexel = static_cast<std::uint8_t>(key);
  const std::int32_t end = x + count;
  R3xKeyedRuns runs(cursor, last, runCount, drawn, startsInside, list);
  PerspBlocks blocks(span, BlockStart(span.gridX, x));
  R3xSpanShade<Mode> shade(span, EntryWords<Mode>(span, blocks.Start()));
  std::int32_t column = x;
  for (;;) {
    shade.BeginBlock();
    const std::int32_t skipped = column - blocks.Start();
    const Texcoords step = blocks.Steps();
    std::uint32_t u = blocks.At().u + static_cast<std::uint32_t>(skipped) * step.u;
    std::uint32_t v = blocks.At().v + static_cast<std::uint32_t>(skipped) * step.v;
    const std::int32_t blockEnd = blocks.Start() + 16;
    // The last block, even one that ends on the grid, is stepped to its end: no exact pixel.
    const bool lastBlock = end <= blockEnd;
    const std::int32_t stop = lastBlock ? end : blockEnd;
    if (!lastBlock) {
      blocks.Advance();
    }
    for (; column < stop; ++column) {
      const std::uint8_t texel = fetch(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v));
      u += step.u;
      v += step.v;
      const std::int32_t result = _r3xKeyedPixel<Mode>(row, column, texel, keyTexel, shade, runs);
      if (result < 0) {
        return result;
      }
    }
    if (lastBlock) {
      return runs.Finish(end, endsInside);
    }
    shade.NextBlock();
  }
}

// The members: every family's generic member and the sizes the span size tables give it.
#define R3X_PERSP_OPAQUE_MEMBER(mode, width, height)                                      \
  template void _r3xSpanPerspOpaque<mode, width, height>(R3xRenderContext*, std::int32_t, \
                                                         std::int32_t);
#define R3X_PERSP_OPAQUE_FAMILY(mode) R3X_SPAN_OPAQUE_SIZES(R3X_PERSP_OPAQUE_MEMBER, mode)
#define R3X_PERSP_KEYED_MEMBER(mode, width, height)                                    \
  template std::int32_t _r3xSpanPerspKeyed<mode, width, height>(                       \
      R3xRenderContext*, std::int32_t, std::int32_t, R3xCoveredRun**, R3xCoveredRun**, \
      std::uint32_t*, std::uint32_t*, std::int32_t, std::int32_t, std::int32_t*, R3xList16*);
#define R3X_PERSP_KEYED_FAMILY(mode) R3X_SPAN_KEYED_SIZES(R3X_PERSP_KEYED_MEMBER, mode)

R3X_PERSP_OPAQUE_FAMILY(1)
R3X_PERSP_OPAQUE_FAMILY(2)
R3X_PERSP_OPAQUE_FAMILY(3)
R3X_PERSP_OPAQUE_FAMILY(4)
R3X_PERSP_OPAQUE_FAMILY(5)
R3X_PERSP_KEYED_FAMILY(1)
R3X_PERSP_KEYED_FAMILY(2)
R3X_PERSP_KEYED_FAMILY(3)
R3X_PERSP_KEYED_FAMILY(4)
