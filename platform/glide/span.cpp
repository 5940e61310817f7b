// The pixel pipeline over a row, eight pixels at a time in vector lanes kept in registers:
// their iterated values, then W and the depth test, iterated colour, texel and combine, chroma
// key, fog, blend and writes. Lanes past the row's end are computed but change no pixel. The
// arithmetic is the same, step for step, as one pixel at a time; only the texel loads go lane by
// lane. The stages are built twice, for the base x86-64 instruction set and for AVX2, and the
// processor picks one when first drawn.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/glide/pixel_pipeline.h"

// The pipeline's helpers are inlined into each build of the stages, so that each is compiled for
// that build's instruction set.
#define ARENA_STAGE inline __attribute__((always_inline))
// Eight-lane vectors pass between the inlined helpers only, never across a call.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace platform::glide {
namespace {

constexpr int kLanes = 8;

using F32x8 = float __attribute__((vector_size(32)));
using I32x8 = std::int32_t __attribute__((vector_size(32)));
using U32x8 = std::uint32_t __attribute__((vector_size(32)));
using U16x16 = std::uint16_t __attribute__((vector_size(32)));
using U16x8 = std::uint16_t __attribute__((vector_size(16)));
using I16x8 = std::int16_t __attribute__((vector_size(16)));
using U64x4 = std::uint64_t __attribute__((vector_size(32)));

// The iterated values of eight pixels.
struct Iterated {
  F32x8 r;
  F32x8 g;
  F32x8 b;
  F32x8 a;
  F32x8 oow;
  F32x8 sow;
  F32x8 tow;
};

// The bits of one type as another (std::bit_cast is not inlined everywhere, and an eight-lane
// vector passed to a function built without AVX would not reach it intact).
template <typename To, typename From>
ARENA_STAGE To As(From from) {
  return __builtin_bit_cast(To, from);
}

template <typename Vector, typename Element>
ARENA_STAGE Vector Load(const Element* from) {
  Vector value;
  std::memcpy(&value, from, sizeof value);
  return value;
}

template <typename Vector, typename Element>
ARENA_STAGE void Store(Element* to, Vector value) {
  std::memcpy(to, &value, sizeof value);
}

// Lanes of `yes` where the mask is set (all ones), of `no` elsewhere.
template <typename Vector>
ARENA_STAGE Vector Select(I32x8 mask, Vector yes, Vector no) {
  return mask ? yes : no;
}

ARENA_STAGE bool Any(I32x8 mask) {
  const U64x4 wide = As<U64x4>(mask);
  return ((wide[0] | wide[1]) | (wide[2] | wide[3])) != 0;
}

ARENA_STAGE F32x8 Splat(float value) { return F32x8{} + value; }
ARENA_STAGE I32x8 Splat(int value) { return I32x8{} + value; }

// The lanes below `count`.
ARENA_STAGE I32x8 LanesBelow(int count) {
  const I32x8 lane = {0, 1, 2, 3, 4, 5, 6, 7};
  return lane < count;
}

// Eight buffer words, or the first `valid` of them (the rest 0) where a whole vector would run
// past the buffer.
ARENA_STAGE U16x8 LoadWords(const std::uint16_t* from, int valid, bool whole) {
  if (whole) {
    return Load<U16x8>(from);
  }
  U16x8 words = {};
  std::memcpy(&words, from, static_cast<std::size_t>(valid) * sizeof(std::uint16_t));
  return words;
}

// Writes the live lanes over the words `held` was loaded from.
ARENA_STAGE void StoreLive(std::uint16_t* to, U16x8 values, U16x8 held, I32x8 live, int valid,
                           bool whole) {
  const U16x8 keep = As<U16x8>(__builtin_convertvector(live, I16x8));
  const U16x8 words = (values & keep) | (held & ~keep);
  if (whole) {
    Store(to, words);
  } else {
    std::memcpy(to, &words, static_cast<std::size_t>(valid) * sizeof(std::uint16_t));
  }
}

// An iterated value to 0..255, as ClampToByte.
ARENA_STAGE I32x8 ClampToByte8(F32x8 value) {
  const F32x8 zero = {};
  F32x8 clamped = Select(value > zero, value, zero);
  clamped = Select(clamped < 255.0f, clamped, Splat(255.0f));
  return __builtin_convertvector(clamped, I32x8);
}

// A pixel's depth, as DepthOfW: the clamped W rounds to the same whole unit.
ARENA_STAGE I32x8 DepthOfW8(F32x8 w) {
  const F32x8 zero = {};
  F32x8 clamped = Select(w > zero, w, zero);
  clamped = Select(clamped < 65534.5f, clamped, Splat(65535.0f));
  return __builtin_convertvector(clamped + 0.5f, I32x8);
}

// The fog table entry of each pixel, as FogIndexOfW.
ARENA_STAGE I32x8 FogIndexOfW8(F32x8 w) {
  const U32x8 bits = As<U32x8>(w);
  const I32x8 exponent = As<I32x8>(bits >> 23) - 127;
  const F32x8 mantissa = As<F32x8>((bits & 0x007FFFFF) | 0x3F800000);
  // Set masks are -1: the quarter-doublings within [1, 2) subtract.
  const I32x8 index = exponent * 4 - (mantissa >= 1.18920712f) - (mantissa >= 1.41421356f) -
                      (mantissa >= 1.68179283f);
  const I32x8 inRange = Select(index < 63, index, Splat(63));
  return Select(w >= 1.0f, Select(w < 65536.0f, inRange, Splat(63)), I32x8{});
}

// A texture coordinate in texels times 256, rounded toward minus infinity; NaN and far values
// give 0.
ARENA_STAGE I32x8 FixedTexel8(F32x8 texels) {
  const F32x8 fixed = texels * 256.0f;
  const F32x8 safe = Select((fixed > -1.0e9f) & (fixed < 1.0e9f), fixed, F32x8{});
  const I32x8 truncated = __builtin_convertvector(safe, I32x8);
  // A set mask is -1: one less where truncation went up.
  return truncated + (safe < __builtin_convertvector(truncated, F32x8));
}

// The mipmap level nearest to the texel step: round(log2(step) + bias), the halfway point
// between levels k and k + 1 lying at a step of 2^(k + 0.5). With the squared step x (bias
// folded in) that is floor((floor(log2 x) + 1) / 2), read from the float's exponent. Steps too
// large for any level (infinity too) clamp to the smallest; below 1 and NaN take the largest.
ARENA_STAGE I32x8 NearestLevel8(F32x8 stepSquared, int levelCount) {
  const I32x8 exponent = As<I32x8>(As<U32x8>(stepSquared) >> 23) - 127;
  const I32x8 level = (exponent + 1) >> 1;
  const I32x8 smallest = Splat(levelCount - 1);
  return Select(stepSquared >= 1.0f, Select(level < smallest, level, smallest), I32x8{});
}

// Texel coordinates times 256 of eight pixels, and the level each samples.
struct Coordinates {
  I32x8 u;
  I32x8 v;
  I32x8 level;
};

ARENA_STAGE Coordinates TexelCoordinates(const DrawSetup& setup, F32x8 w, F32x8 sow, F32x8 tow,
                                         const Gradients* gradients) {
  const F32x8 s = sow * w;
  const F32x8 t = tow * w;
  if (setup.mipmap && setup.texture.levelCount > 1 && gradients != nullptr) {
    const Gradients& g = *gradients;
    // The texel step, squared, in level-0 texels: the larger of the steps along x and along y,
    // with d(sow / oow) = (d sow - s d oow) / oow along each axis.
    const F32x8 sx = (g.sowX - s * g.oowX) * w;
    const F32x8 tx = (g.towX - t * g.oowX) * w;
    const F32x8 sy = (g.sowY - s * g.oowY) * w;
    const F32x8 ty = (g.towY - t * g.oowY) * w;
    const F32x8 alongX = sx * sx + tx * tx;
    const F32x8 alongY = sy * sy + ty * ty;
    const I32x8 level = NearestLevel8(Select(alongX > alongY, alongX, alongY) * setup.stepScale,
                                      setup.texture.levelCount);
    // s and t run 0..256 over the larger side of the largest level, on both axes; each level
    // halves the texels per unit, so its scale is the largest level's times 2^-level.
    const F32x8 scale = setup.levelScale[0] * As<F32x8>((127 - level) << 23);
    return Coordinates{FixedTexel8(s * scale), FixedTexel8(t * scale), level};
  }
  const float scale = setup.levelScale[0];
  return Coordinates{FixedTexel8(s * scale), FixedTexel8(t * scale), I32x8{}};
}

// Where texel (u, v), wrapped on both axes, lies in its decoded level (rows one texel wider)
// that begins `offset` texels into the texture.
ARENA_STAGE U32x8 TexelAt(I32x8 u, I32x8 v, I32x8 offset, I32x8 widthShift, I32x8 widthMask,
                          I32x8 heightMask) {
  const I32x8 row = v & heightMask;
  return As<U32x8>(offset + (row << widthShift) + row + (u & widthMask));
}

// Mix of eight pixels' colour pairs, a channel in each 16-bit lane: a x (256 - k) + b x k
// stays within 16 bits for channels of 0..255 and k of 0..256.
ARENA_STAGE U32x8 Mix8(U32x8 a, U32x8 b, U32x8 k) {
  const U16x16 kk = As<U16x16>(k | k << 16);
  const U16x16 inverse = 256 - kk;
  const U16x16 blueRed =
      (As<U16x16>(a & 0x00FF00FF) * inverse + As<U16x16>(b & 0x00FF00FF) * kk) >> 8;
  const U16x16 green =
      (As<U16x16>(a >> 8 & 0x00FF00FF) * inverse + As<U16x16>(b >> 8 & 0x00FF00FF) * kk) >> 8;
  return As<U32x8>(blueRed) | As<U32x8>(green) << 8;
}

// Texel times iterated colour: t x (i + 1) / 256 a channel, so 255 x 255 stays 255.
ARENA_STAGE U32x8 Modulate8(U32x8 texel, U32x8 iterated) {
  const U16x16 blueRed =
      (As<U16x16>(texel & 0x00FF00FF) * (As<U16x16>(iterated & 0x00FF00FF) + 1)) >> 8;
  const U16x16 green =
      (As<U16x16>(texel >> 8 & 0x00FF00FF) * (As<U16x16>(iterated >> 8 & 0x00FF00FF) + 1)) >> 8;
  return As<U32x8>(blueRed) | As<U32x8>(green) << 8;
}

// RGB565 words widened to 0x00RRGGBB, each channel's high bits repeated below as Unpack565.
ARENA_STAGE U32x8 Unpack565x8(U16x8 words) {
  const U32x8 raw = __builtin_convertvector(words, U32x8);
  const U32x8 r = raw >> 11 & 0x1F;
  const U32x8 g = raw >> 5 & 0x3F;
  const U32x8 b = raw & 0x1F;
  return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

ARENA_STAGE U16x8 Pack565x8(U32x8 rgb) {
  return __builtin_convertvector((rgb >> 8 & 0xF800) | (rgb >> 5 & 0x07E0) | (rgb >> 3 & 0x001F),
                                 U16x8);
}

// The texel of each pixel, filtered, and the point-sampled texel the chroma key compares. The
// four texels around a bilinear sample have their centres at half-texel positions; the two of a
// row are neighbours in the decoded level.
struct Sample {
  U32x8 texel;
  U32x8 point;
};

// Eight texels at `index`; built in registers (lanes stored one by one and read back as a
// vector would stall the read). Unsigned indices need no widening to address.
ARENA_STAGE U32x8 Texels8(const std::uint32_t* from, U32x8 index) {
  return U32x8{from[index[0]], from[index[1]], from[index[2]], from[index[3]],
               from[index[4]], from[index[5]], from[index[6]], from[index[7]]};
}

// A texel and its right-hand neighbour as one word, the left one in the low half.
ARENA_STAGE std::uint64_t Pair(const std::uint32_t* from) {
  std::uint64_t pair;
  std::memcpy(&pair, from, sizeof pair);
  return pair;
}

ARENA_STAGE U64x4 Pairs4(const std::uint32_t* from, U32x8 index, int first) {
  return U64x4{Pair(from + index[first]), Pair(from + index[first + 1]),
               Pair(from + index[first + 2]), Pair(from + index[first + 3])};
}

// The left texels of eight pairs, and the right ones.
ARENA_STAGE U32x8 Lefts(U64x4 low, U64x4 high) {
  return __builtin_shufflevector(As<U32x8>(low), As<U32x8>(high), 0, 2, 4, 6, 8, 10, 12, 14);
}

ARENA_STAGE U32x8 Rights(U64x4 low, U64x4 high) {
  return __builtin_shufflevector(As<U32x8>(low), As<U32x8>(high), 1, 3, 5, 7, 9, 11, 13, 15);
}

template <bool kBilinear>
ARENA_STAGE Sample SampleTexels(const DrawSetup& setup, const Coordinates& at, bool keyed) {
  const I32x8 level = at.level;
  const LevelView& first = setup.levels[level[0]];
  I32x8 offset = Splat(first.offset);
  I32x8 widthShift = Splat(first.widthShift);
  I32x8 widthMask = Splat(first.widthMask);
  I32x8 heightMask = Splat(first.heightMask);
  if (Any(level != level[0])) {
    for (int i = 0; i < kLanes; ++i) {
      const LevelView& view = setup.levels[level[i]];
      offset[i] = view.offset;
      widthShift[i] = view.widthShift;
      widthMask[i] = view.widthMask;
      heightMask[i] = view.heightMask;
    }
  }
  const std::uint32_t* texels = setup.texels;
  Sample sample{};
  if (!kBilinear || keyed) {
    sample.point =
        Texels8(texels, TexelAt(at.u >> 8, at.v >> 8, offset, widthShift, widthMask, heightMask));
  }
  if constexpr (kBilinear) {
    const I32x8 u0 = at.u - 128;
    const I32x8 v0 = at.v - 128;
    const U32x8 top = TexelAt(u0 >> 8, v0 >> 8, offset, widthShift, widthMask, heightMask);
    // The row below lies one row (of width + 1 texels) on.
    const U32x8 bottom = top + As<U32x8>(widthMask + 2);
    const U64x4 topLow = Pairs4(texels, top, 0);
    const U64x4 topHigh = Pairs4(texels, top, 4);
    const U64x4 bottomLow = Pairs4(texels, bottom, 0);
    const U64x4 bottomHigh = Pairs4(texels, bottom, 4);
    const U32x8 fu = As<U32x8>(u0 & 0xFF);
    const U32x8 topRow = Mix8(Lefts(topLow, topHigh), Rights(topLow, topHigh), fu);
    const U32x8 bottomRow = Mix8(Lefts(bottomLow, bottomHigh), Rights(bottomLow, bottomHigh), fu);
    sample.texel = Mix8(topRow, bottomRow, As<U32x8>(v0 & 0xFF));
  } else {
    sample.texel = sample.point;
  }
  return sample;
}

// Blends source colours of alpha 0..255 with the destination by the blend factors, as Blend.
ARENA_STAGE I32x8 Factor8(int code, I32x8 weight) {
  switch (code) {
    case GR_BLEND_SRC_ALPHA:
      return weight;
    case GR_BLEND_ONE:
      return Splat(256);
    case GR_BLEND_ONE_MINUS_SRC_ALPHA:
      return 256 - weight;
    default:
      return I32x8{};
  }
}

ARENA_STAGE U32x8 Blend8(const DrawSetup& setup, U32x8 source, I32x8 alpha, U32x8 destination) {
  const I32x8 weight = alpha + (alpha >> 7);
  // Factors that sum to 256 never pass 255, and their products fit the 16-bit lanes of a mix.
  if (setup.blendSrc == GR_BLEND_SRC_ALPHA && setup.blendDst == GR_BLEND_ONE_MINUS_SRC_ALPHA) {
    return Mix8(destination, source, As<U32x8>(weight));
  }
  const I32x8 fs = Factor8(setup.blendSrc, weight);
  const I32x8 fd = Factor8(setup.blendDst, weight);
  I32x8 out = {};
  for (int shift = 0; shift <= 16; shift += 8) {
    const I32x8 s = As<I32x8>(source >> shift & 0xFF);
    const I32x8 d = As<I32x8>(destination >> shift & 0xFF);
    const I32x8 mixed = (s * fs + d * fd) >> 8;
    out |= Select(mixed < 255, mixed, Splat(255)) << shift;
  }
  return As<U32x8>(out);
}

// Runs eight pixels from `index`, `valid` of them in the row, through the stages.
ARENA_STAGE void RenderLanes(const DrawSetup& setup, std::size_t index, const Iterated& c,
                             int valid, const Gradients* gradients) {
  // Whole vectors are read and written back when they stay inside the buffers; the lanes past
  // the row are then rewritten with what they hold.
  const bool whole = index + kLanes <= kScreenPixels;
  I32x8 live = LanesBelow(valid);
  const F32x8 w = 1.0f / c.oow;
  I32x8 depth = {};
  U16x8 depthHeld = {};
  if (setup.depthOn) {
    const I32x8 unclamped = DepthOfW8(w) + setup.depthBias;
    depth = Select(unclamped < 0, I32x8{}, Select(unclamped > 0xFFFF, Splat(0xFFFF), unclamped));
    depthHeld = LoadWords(setup.depth + index, valid, whole);
    if (setup.depthTest) {
      live &= depth <= __builtin_convertvector(depthHeld, I32x8);
      // Pixels behind the depth buffer need no texels.
      if (!Any(live)) {
        return;
      }
    }
  }
  U32x8 colour = {};
  const bool modulate = setup.colourSource == ColourSource::kTextureTimesIterated;
  if (!setup.textured || modulate) {
    const I32x8 r = ClampToByte8(c.r);
    const I32x8 g = ClampToByte8(c.g);
    const I32x8 b = ClampToByte8(c.b);
    colour = As<U32x8>(r << 16 | g << 8 | b);
  }
  if (setup.textured) {
    const Coordinates coordinates = TexelCoordinates(setup, w, c.sow, c.tow, gradients);
    const Sample sample = setup.bilinear ? SampleTexels<true>(setup, coordinates, setup.chromakey)
                                         : SampleTexels<false>(setup, coordinates, setup.chromakey);
    // The key is compared with the point-sampled texel, before filtering and combine.
    if (setup.chromakey) {
      live &= sample.point != setup.chromakeyValue;
    }
    colour = modulate ? Modulate8(sample.texel, colour) : sample.texel;
  }
  if (setup.fog) {
    const I32x8 entry = FogIndexOfW8(w);
    const std::uint8_t* table = setup.fogTable;
    const U32x8 weight = {Weight(table[entry[0]]), Weight(table[entry[1]]), Weight(table[entry[2]]),
                          Weight(table[entry[3]]), Weight(table[entry[4]]), Weight(table[entry[5]]),
                          Weight(table[entry[6]]), Weight(table[entry[7]])};
    colour = Mix8(colour, As<U32x8>(Splat(static_cast<int>(setup.fogColour))), weight);
  }
  if (setup.colourWrite) {
    std::uint16_t* pixels = setup.colour + index;
    const U16x8 held = LoadWords(pixels, valid, whole);
    if (!setup.blendReplace) {
      const I32x8 alpha = setup.alphaIterated ? ClampToByte8(c.a) : Splat(255);
      colour = Blend8(setup, colour, alpha, Unpack565x8(held));
    }
    StoreLive(pixels, Pack565x8(colour), held, live, valid, whole);
  }
  if (setup.depthWrite) {
    StoreLive(setup.depth + index, __builtin_convertvector(depth, U16x8), depthHeld, live, valid,
              whole);
  }
}

// The pixel pipeline's values one pixel after another: all of a pixel's values are stepped at
// once, each in its lane of one vector (each lane's sum is the one a value alone would take),
// and the eight pixels' vectors are then turned into one vector of eight pixels for each value.
ARENA_STAGE Iterated Iterate8(F32x8& f, F32x8 step) {
  const F32x8 p0 = f;
  const F32x8 p1 = p0 + step;
  const F32x8 p2 = p1 + step;
  const F32x8 p3 = p2 + step;
  const F32x8 p4 = p3 + step;
  const F32x8 p5 = p4 + step;
  const F32x8 p6 = p5 + step;
  const F32x8 p7 = p6 + step;
  f = p7 + step;
  // Pairs of pixels interleaved, then quads, then the halves of the eight.
  const F32x8 t0 = __builtin_shufflevector(p0, p1, 0, 8, 1, 9, 4, 12, 5, 13);
  const F32x8 t1 = __builtin_shufflevector(p0, p1, 2, 10, 3, 11, 6, 14, 7, 15);
  const F32x8 t2 = __builtin_shufflevector(p2, p3, 0, 8, 1, 9, 4, 12, 5, 13);
  const F32x8 t3 = __builtin_shufflevector(p2, p3, 2, 10, 3, 11, 6, 14, 7, 15);
  const F32x8 t4 = __builtin_shufflevector(p4, p5, 0, 8, 1, 9, 4, 12, 5, 13);
  const F32x8 t5 = __builtin_shufflevector(p4, p5, 2, 10, 3, 11, 6, 14, 7, 15);
  const F32x8 t6 = __builtin_shufflevector(p6, p7, 0, 8, 1, 9, 4, 12, 5, 13);
  const F32x8 t7 = __builtin_shufflevector(p6, p7, 2, 10, 3, 11, 6, 14, 7, 15);
  const F32x8 u0 = __builtin_shufflevector(t0, t2, 0, 1, 8, 9, 4, 5, 12, 13);
  const F32x8 u1 = __builtin_shufflevector(t0, t2, 2, 3, 10, 11, 6, 7, 14, 15);
  const F32x8 u2 = __builtin_shufflevector(t1, t3, 0, 1, 8, 9, 4, 5, 12, 13);
  const F32x8 u3 = __builtin_shufflevector(t1, t3, 2, 3, 10, 11, 6, 7, 14, 15);
  const F32x8 u4 = __builtin_shufflevector(t4, t6, 0, 1, 8, 9, 4, 5, 12, 13);
  const F32x8 u5 = __builtin_shufflevector(t4, t6, 2, 3, 10, 11, 6, 7, 14, 15);
  const F32x8 u6 = __builtin_shufflevector(t5, t7, 0, 1, 8, 9, 4, 5, 12, 13);
  const F32x8 u7 = __builtin_shufflevector(t5, t7, 2, 3, 10, 11, 6, 7, 14, 15);
  return Iterated{__builtin_shufflevector(u0, u4, 0, 1, 2, 3, 8, 9, 10, 11),
                  __builtin_shufflevector(u1, u5, 0, 1, 2, 3, 8, 9, 10, 11),
                  __builtin_shufflevector(u2, u6, 0, 1, 2, 3, 8, 9, 10, 11),
                  __builtin_shufflevector(u3, u7, 0, 1, 2, 3, 8, 9, 10, 11),
                  __builtin_shufflevector(u0, u4, 4, 5, 6, 7, 12, 13, 14, 15),
                  __builtin_shufflevector(u1, u5, 4, 5, 6, 7, 12, 13, 14, 15),
                  __builtin_shufflevector(u2, u6, 4, 5, 6, 7, 12, 13, 14, 15)};
}

ARENA_STAGE void RenderSpanStages(const DrawSetup& setup, std::size_t index, int count,
                                  const Fragment& start, const Fragment& step,
                                  const Gradients* gradients) {
  F32x8 f = {start.r, start.g, start.b, start.a, start.oow, start.sow, start.tow, 0.0f};
  const F32x8 by = {step.r, step.g, step.b, step.a, step.oow, step.sow, step.tow, 0.0f};
  // The lanes past the row's end take the next values.
  for (int at = 0; at < count; at += kLanes) {
    const Iterated values = Iterate8(f, by);
    RenderLanes(setup, index + static_cast<std::size_t>(at), values, std::min(kLanes, count - at),
                gradients);
  }
}

__attribute__((target("avx2"))) void RenderSpanAvx2(const DrawSetup& setup, std::size_t index,
                                                    int count, const Fragment& start,
                                                    const Fragment& step,
                                                    const Gradients* gradients) {
  RenderSpanStages(setup, index, count, start, step, gradients);
}

void RenderSpanBase(const DrawSetup& setup, std::size_t index, int count, const Fragment& start,
                    const Fragment& step, const Gradients* gradients) {
  RenderSpanStages(setup, index, count, start, step, gradients);
}

}  // namespace

bool& BaseInstructionSetStagesSetting() {
  static bool on = false;
  return on;
}

void RenderSpan(const DrawSetup& setup, std::size_t index, int count, const Fragment& start,
                const Fragment& step, const Gradients* gradients) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  avx2 && !BaseInstructionSetStagesSetting()
      ? RenderSpanAvx2(setup, index, count, start, step, gradients)
      : RenderSpanBase(setup, index, count, start, step, gradients);
}

}  // namespace platform::glide
