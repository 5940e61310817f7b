// What every family of span routines (perspective and affine, opaque and colour-keyed) shares:
// the texel fetch of a generic member, which takes the level's masks and shift from the span
// state, and of a size member, which has them as constants; the pixel value of each shading mode
// (1 the texel, 2 the polygon's shade row, 3 the light level of the block, 4 the fog and light
// levels of the block, 5 the light level of the pixel); and the covered-run bookkeeping of a
// colour-keyed span. Each reads the span state once, at entry, into values of its own: the
// pixel stores may alias anything, and the loops must not read the state again per pixel.
// Results: values; the keyed bookkeeping 0 or R3X_RUNS_CANNOT_GROW.
#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>

#include "engine/core/render_work_arrays.h"
#include "engine/core/span_state.h"
#include "engine/raster/covered_runs_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/span_pixel_internal.h"

// The texel fetch of a generic member: any power-of-two level the span state describes.
struct R3xGenericTexels {
  const std::uint8_t* texels;
  std::uint32_t uMask;
  std::uint32_t vMask;
  std::int32_t vShift;

  explicit R3xGenericTexels(const R3xSpanState& span)
      : texels(span.texels), uMask(span.uMask), vMask(span.vMask), vShift(span.vShift) {}
  std::uint8_t operator()(std::int32_t u, std::int32_t v) const {
    return _r3xTexelAt(texels, uMask, vMask, vShift, u, v);
  }
};

// The texel fetch of the size member for a Width x Height level: the masks and the shift that
// the span state would hold for that level, as constants.
template <std::uint32_t Width, std::uint32_t Height>
struct R3xSizedTexels {
  static_assert(std::has_single_bit(Width) && std::has_single_bit(Height) && Width <= 1024 &&
                    Height <= 512,
                "a level's rows must fit the 10.22 fetch");
  static constexpr std::uint32_t kUMask = Width - 1;
  static constexpr std::uint32_t kVMask = (Height - 1) << 22;
  static constexpr std::int32_t kVShift = 22 - std::countr_zero(Width);

  const std::uint8_t* texels;

  explicit R3xSizedTexels(const R3xSpanState& span) : texels(span.texels) {}
  std::uint8_t operator()(std::int32_t u, std::int32_t v) const {
    return _r3xTexelAt(texels, kUMask, kVMask, kVShift, u, v);
  }
};

// A family member's fetch: the generic member is the one of size 0 x 0.
template <std::uint32_t Width, std::uint32_t Height>
using R3xTexelFetch =
    std::conditional_t<Width == 0, R3xGenericTexels, R3xSizedTexels<Width, Height>>;

// The pixel value of shading mode Mode. Modes 3 and 4 take one level (offset) per block of
// pixels, formed by BeginBlock and moved on by NextBlock; mode 5 steps its light at every pixel,
// taking the level before the step. `words` are the 12.20 light and fog at the first block's
// start (mode 5: at the column of the first Pixel call after any Skip).
template <int Mode>
struct R3xSpanShade {
  static_assert(Mode >= 1 && Mode <= 5);

  const std::uint8_t* table;
  // 12.20 light and fog, and their steps: a block's worth (16 pixels) in modes 3 and 4, a
  // pixel's in mode 5.
  std::int32_t light;
  std::int32_t lightStep;
  std::int32_t fog;
  std::int32_t fogStep;
  std::uint32_t offset = 0;

  R3xSpanShade(const R3xSpanState& span, const R3xShadeWords& words)
      : table(Mode == 1   ? nullptr
              : Mode == 2 ? span.shadeRow
                          : span.shadeData),
        light(words.light),
        lightStep(Mode == 5 ? words.lightStep
                            : static_cast<std::int32_t>(static_cast<std::uint32_t>(words.lightStep)
                                                        << 4)),
        fog(words.fog),
        fogStep(static_cast<std::int32_t>(static_cast<std::uint32_t>(words.fogStep) << 4)) {}

  // The levels of the block being begun.
  void BeginBlock() {
    if constexpr (Mode == 3) {
      offset = _r3xLightRowOffset(light);
    } else if constexpr (Mode == 4) {
      offset = _r3xFogBlockOffset(fog) | _r3xLightRowOffset(light);
    }
  }
  // On to the next block: one block step (16 pixels' worth) of light and fog.
  void NextBlock() {
    if constexpr (Mode == 3 || Mode == 4) {
      light = _r3xWrapAdd(light, lightStep);
    }
    if constexpr (Mode == 4) {
      fog = _r3xWrapAdd(fog, fogStep);
    }
  }
  // Mode 5 passes over `pixels` columns that are not drawn.
  void Skip(std::int32_t pixels) {
    if constexpr (Mode == 5) {
      light = static_cast<std::int32_t>(static_cast<std::uint32_t>(light) +
                                        static_cast<std::uint32_t>(pixels) *
                                            static_cast<std::uint32_t>(lightStep));
    }
  }
  std::uint8_t Pixel(std::uint8_t texel) {
    if constexpr (Mode == 1) {
      return texel;
    } else if constexpr (Mode == 2) {
      return table[texel];
    } else if constexpr (Mode == 5) {
      const std::uint32_t row = _r3xLightRowOffset(light);
      light = _r3xWrapAdd(light, lightStep);
      return table[row | texel];
    } else {
      return table[offset | texel];
    }
  }
};

// The covered-run bookkeeping of one colour-keyed span call: the run is open while the pixels
// before were drawn; a key texel ends it at its column, a drawn pixel after a key texel (or at
// the start of a call that does not begin inside a run) opens a new record at its column, after
// the pixel is written. The drawn count is kept here and stored at the end or on failure.
struct R3xKeyedRuns {
  R3xCoveredRun** cursor;
  R3xCoveredRun** last;
  std::uint32_t* runCount;
  R3xList16* list;
  std::uint32_t* drawnOut;
  std::uint32_t drawn;
  bool open;

  R3xKeyedRuns(R3xCoveredRun** cursorIn, R3xCoveredRun** lastIn, std::uint32_t* runCountIn,
               std::uint32_t* drawnIn, std::int32_t startsInside, R3xList16* listIn)
      : cursor(cursorIn),
        last(lastIn),
        runCount(runCountIn),
        list(listIn),
        drawnOut(drawnIn),
        drawn(*drawnIn),
        open(startsInside != 0) {}

  // A key texel at column x: nothing drawn, an open run ends there.
  void Key(std::int32_t x) {
    if (open) {
      _r3xEndCoveredRun(x, cursor);
      open = false;
    }
  }
  // The pixel at column x was written. 0, or R3X_RUNS_CANNOT_GROW when its run could not be
  // recorded: the call then ends at once with the count of the pixels before it stored, and
  // its caller abandons the polygon.
  std::int32_t Drawn(std::int32_t x) {
    if (!open) {
      const std::int32_t result = _r3xRecordCoveredRun(list, x, runCount, cursor, last);
      if (result < 0) {
        *drawnOut = drawn;
        return result;
      }
      open = true;
    }
    ++drawn;
    return 0;
  }
  // The end of the span at column `end`: an open run ends there and is reported. 0.
  std::int32_t Finish(std::int32_t end, std::int32_t* endsInside) {
    if (open) {
      _r3xEndCoveredRun(end, cursor);
    }
    *endsInside = open ? 1 : 0;
    *drawnOut = drawn;
    return 0;
  }
};

// One pixel of a keyed span: the key compared with the texel as fetched, before any shading; a
// key texel reads no shade byte. The result of R3xKeyedRuns::Drawn.
template <int Mode>
inline std::int32_t _r3xKeyedPixel(std::uint8_t* destination, std::int32_t x, std::uint8_t texel,
                                   std::uint8_t key, R3xSpanShade<Mode>& shade,
                                   R3xKeyedRuns& runs) {
  if (texel == key) {
    runs.Key(x);
    return 0;
  }
  destination[x] = shade.Pixel(texel);
  return runs.Drawn(x);
}

// The level sizes that the span size tables give every family besides its generic member (0 x 0),
// for the explicit instantiations of each family: MEMBER(mode, width, height) for each size.
#define R3X_SPAN_OPAQUE_SIZES(MEMBER, mode) \
  MEMBER(mode, 0, 0)                        \
  MEMBER(mode, 8, 16)                       \
  MEMBER(mode, 16, 16)                      \
  MEMBER(mode, 16, 32)                      \
  MEMBER(mode, 32, 32)                      \
  MEMBER(mode, 32, 64)                      \
  MEMBER(mode, 64, 64)                      \
  MEMBER(mode, 64, 128)                     \
  MEMBER(mode, 128, 128)                    \
  MEMBER(mode, 128, 256)                    \
  MEMBER(mode, 256, 256)
#define R3X_SPAN_KEYED_SIZES(MEMBER, mode) \
  MEMBER(mode, 0, 0)                       \
  MEMBER(mode, 32, 32)                     \
  MEMBER(mode, 32, 64)                     \
  MEMBER(mode, 64, 64)                     \
  MEMBER(mode, 64, 128)                    \
  MEMBER(mode, 128, 128)
