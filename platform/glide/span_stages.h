// The pixel pipeline over a row, kLanes pixels at a time in vector lanes kept in registers: their
// iterated values, then W and the depth test, iterated colour, texel and combine, chroma key,
// fog, blend and writes. Lanes past the row's end are computed but change no pixel. The
// arithmetic is the same, step for step, as one pixel at a time (a pixel's iterated values come
// from the row's start and its place in the row, never from its neighbour's); only the loads of
// texels and fog weights go lane by lane, through gathers, or (fog weights and texture levels on
// AVX-512) through permutes of small tables.
//
// span.cpp includes this file once for each build of the stages, each time inside its own
// namespace, with that build's target in force and with ARENA_LANES (8 or 16) and ARENA_ISA
// (0 base, 1 AVX2, 2 AVX-512) set; it has no include guard for that reason and is included
// nowhere else. Each group's steps form one long chain (divide, texel address, load, filter,
// fog, blend) that leaves the processor waiting more than working, so more pixels are kept in
// flight: sixteen lanes give each step twice the pixels of eight, and three groups (of one row,
// or of several rows of a triangle) go through the stages side by side.

constexpr int kLanes = ARENA_LANES;

using F32 = float __attribute__((vector_size(4 * kLanes)));
using I32 = std::int32_t __attribute__((vector_size(4 * kLanes)));
using U32 = std::uint32_t __attribute__((vector_size(4 * kLanes)));
// A colour channel in each 16-bit lane (two lanes to a pixel).
using U16Pairs = std::uint16_t __attribute__((vector_size(4 * kLanes)));
// A buffer word to a lane.
using U16 = std::uint16_t __attribute__((vector_size(2 * kLanes)));
using I16 = std::int16_t __attribute__((vector_size(2 * kLanes)));
// Two pixels' words to a lane.
using U64 = std::uint64_t __attribute__((vector_size(4 * kLanes)));

// The pixel packing of base/pixel16.h, compiled for this build's instruction set.
#include "base/pixel16_functions.h"

// The iterated values of a group of pixels.
struct Iterated {
  F32 r;
  F32 g;
  F32 b;
  F32 a;
  F32 oow;
  F32 sow;
  F32 tow;
};

// The bits of one type as another (std::bit_cast is not inlined everywhere, and a wide vector
// passed to a function built without the wide registers would not reach it intact).
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
ARENA_STAGE Vector Select(I32 mask, Vector yes, Vector no) {
  return mask ? yes : no;
}

ARENA_STAGE bool Any(I32 mask) {
#if ARENA_ISA == 2
  return _mm512_test_epi32_mask(As<__m512i>(mask), As<__m512i>(mask)) != 0;
#else
  const U64 wide = As<U64>(mask);
  std::uint64_t any = 0;
  for (int i = 0; i < kLanes / 2; ++i) {
    any |= wide[i];
  }
  return any != 0;
#endif
}

// From -0.0f, which adding leaves every value as it is (from 0.0f, -0.0f would become 0.0f and
// the addition would stay).
ARENA_STAGE F32 Splat(float value) { return -F32{} + value; }
ARENA_STAGE I32 Splat(int value) { return I32{} + value; }

// Each lane's number: 0, 1, 2 ...
ARENA_STAGE I32 LaneNumbers() {
  I32 lane = {};
  for (int i = 0; i < kLanes; ++i) {
    lane[i] = i;
  }
  return lane;
}

// The lanes below `count`.
ARENA_STAGE I32 LanesBelow(int count) { return LaneNumbers() < count; }

// A group's buffer words, or the first `valid` of them (the rest 0) where a whole vector would
// run past the buffer.
ARENA_STAGE U16 LoadWords(const std::uint16_t* from, int valid, bool whole) {
  if (whole) {
    return Load<U16>(from);
  }
  U16 words = {};
  std::memcpy(&words, from, static_cast<std::size_t>(valid) * sizeof(std::uint16_t));
  return words;
}

// Writes the live lanes over the words `held` was loaded from.
ARENA_STAGE void StoreLive(std::uint16_t* to, U16 values, U16 held, I32 live, int valid,
                           bool whole) {
  const U16 keep = As<U16>(__builtin_convertvector(live, I16));
  const U16 words = (values & keep) | (held & ~keep);
  if (whole) {
    Store(to, words);
  } else {
    std::memcpy(to, &words, static_cast<std::size_t>(valid) * sizeof(std::uint16_t));
  }
}

// The larger of `value` and `limit`, or `limit` where `value` is NaN; and the smaller likewise.
// AVX-512's max and min do each in one step, taking their second operand where the first is NaN
// or not beyond it (the masked forms: the plain ones start from an undefined vector that GCC
// warns about).
ARENA_STAGE F32 AtLeast(F32 value, float limit) {
#if ARENA_ISA == 2
  return As<F32>(_mm512_maskz_max_ps(0xFFFF, As<__m512>(value), As<__m512>(Splat(limit))));
#else
  return Select(value > limit, value, Splat(limit));
#endif
}

ARENA_STAGE F32 AtMost(F32 value, float limit) {
#if ARENA_ISA == 2
  return As<F32>(_mm512_maskz_min_ps(0xFFFF, As<__m512>(value), As<__m512>(Splat(limit))));
#else
  return Select(value < limit, value, Splat(limit));
#endif
}

// An iterated value to 0..255, as ClampToByte.
ARENA_STAGE I32 ClampToByteLanes(F32 value) {
  return __builtin_convertvector(AtMost(AtLeast(value, 0.0f), 255.0f), I32);
}

// A pixel's depth, as DepthOfW: the clamped W rounds to the same whole unit.
ARENA_STAGE I32 DepthOfWLanes(F32 w) {
  F32 clamped = AtLeast(w, 0.0f);
  clamped = Select(clamped < 65534.5f, clamped, Splat(65535.0f));
  return __builtin_convertvector(clamped + 0.5f, I32);
}

// The fog table entry of each pixel, as FogIndexOfW.
ARENA_STAGE I32 FogIndexOfWLanes(F32 w) {
  const U32 bits = As<U32>(w);
  const I32 exponent = As<I32>(bits >> 23) - 127;
  const F32 mantissa = As<F32>((bits & 0x007FFFFF) | 0x3F800000);
  // Set masks are -1: the quarter-doublings within [1, 2) subtract.
  const I32 index = exponent * 4 - (mantissa >= 1.18920712f) - (mantissa >= 1.41421356f) -
                    (mantissa >= 1.68179283f);
  const I32 inRange = Select(index < 63, index, Splat(63));
  return Select(w >= 1.0f, Select(w < 65536.0f, inRange, Splat(63)), I32{});
}

// A texture coordinate in texels times 256, rounded toward minus infinity; NaN and far values
// give 0.
ARENA_STAGE I32 FixedTexelLanes(F32 texels) {
  const F32 fixed = texels * 256.0f;
  const F32 safe = Select((fixed > -1.0e9f) & (fixed < 1.0e9f), fixed, F32{});
#if ARENA_ISA == 2
  // Converted rounding toward minus infinity, in one step.
  return As<I32>(_mm512_maskz_cvt_roundps_epi32(0xFFFF, As<__m512>(safe),
                                                _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC));
#else
  const I32 truncated = __builtin_convertvector(safe, I32);
  // A set mask is -1: one less where truncation went up.
  return truncated + (safe < __builtin_convertvector(truncated, F32));
#endif
}

// The mipmap level nearest to the texel step: round(log2(step) + bias), the halfway point
// between levels k and k + 1 lying at a step of 2^(k + 0.5). With the squared step x (bias
// folded in) that is floor((floor(log2 x) + 1) / 2), read from the float's exponent. Steps too
// large for any level (infinity too) clamp to the smallest; below 1 and NaN take the largest.
ARENA_STAGE I32 NearestLevelLanes(F32 stepSquared, int levelCount) {
  const I32 exponent = As<I32>(As<U32>(stepSquared) >> 23) - 127;
  const I32 level = (exponent + 1) >> 1;
  const I32 smallest = Splat(levelCount - 1);
  return Select(stepSquared >= 1.0f, Select(level < smallest, level, smallest), I32{});
}

// Texel coordinates times 256 of a group's pixels, and the level each samples.
struct Coordinates {
  I32 u;
  I32 v;
  I32 level;
};

ARENA_STAGE Coordinates TexelCoordinates(const DrawSetup& setup, F32 w, F32 sow, F32 tow,
                                         const Gradients* gradients) {
  const F32 s = sow * w;
  const F32 t = tow * w;
  if (setup.mipmap && setup.texture.levelCount > 1 && gradients != nullptr) {
    const Gradients& g = *gradients;
    // The texel step, squared, in level-0 texels: the larger of the steps along x and along y,
    // with d(sow / oow) = (d sow - s d oow) / oow along each axis.
    const F32 sx = (g.sowX - s * g.oowX) * w;
    const F32 tx = (g.towX - t * g.oowX) * w;
    const F32 sy = (g.sowY - s * g.oowY) * w;
    const F32 ty = (g.towY - t * g.oowY) * w;
    const F32 alongX = sx * sx + tx * tx;
    const F32 alongY = sy * sy + ty * ty;
    const I32 level = NearestLevelLanes(Select(alongX > alongY, alongX, alongY) * setup.stepScale,
                                        setup.texture.levelCount);
    // s and t run 0..256 over the larger side of the largest level, on both axes; each level
    // halves the texels per unit, so its scale is the largest level's times 2^-level.
    const F32 scale = setup.levelScale[0] * As<F32>((127 - level) << 23);
    return Coordinates{FixedTexelLanes(s * scale), FixedTexelLanes(t * scale), level};
  }
  const float scale = setup.levelScale[0];
  return Coordinates{FixedTexelLanes(s * scale), FixedTexelLanes(t * scale), I32{}};
}

// Where texel (u, v), wrapped on both axes, lies in its decoded level (rows one texel wider)
// that begins `offset` texels into the texture.
ARENA_STAGE U32 TexelAt(I32 u, I32 v, I32 offset, I32 widthShift, I32 widthMask, I32 heightMask) {
  const I32 row = v & heightMask;
  return As<U32>(offset + (row << widthShift) + row + (u & widthMask));
}

// Mix of a group's colour pairs, a channel in each 16-bit lane: a x (256 - k) + b x k stays
// within 16 bits for channels of 0..255 and k of 0..256.
ARENA_STAGE U32 MixLanes(U32 a, U32 b, U32 k) {
  const U16Pairs kk = As<U16Pairs>(k | k << 16);
  const U16Pairs inverse = 256 - kk;
  const U16Pairs blueRed =
      (As<U16Pairs>(a & 0x00FF00FF) * inverse + As<U16Pairs>(b & 0x00FF00FF) * kk) >> 8;
  const U16Pairs green =
      (As<U16Pairs>(a >> 8 & 0x00FF00FF) * inverse + As<U16Pairs>(b >> 8 & 0x00FF00FF) * kk) >> 8;
  return As<U32>(blueRed) | As<U32>(green) << 8;
}

// Texel times iterated colour: t x (i + 1) / 256 a channel, so 255 x 255 stays 255.
ARENA_STAGE U32 ModulateLanes(U32 texel, U32 iterated) {
  const U16Pairs blueRed =
      (As<U16Pairs>(texel & 0x00FF00FF) * (As<U16Pairs>(iterated & 0x00FF00FF) + 1)) >> 8;
  const U16Pairs green =
      (As<U16Pairs>(texel >> 8 & 0x00FF00FF) * (As<U16Pairs>(iterated >> 8 & 0x00FF00FF) + 1)) >> 8;
  return As<U32>(blueRed) | As<U32>(green) << 8;
}

// The texel of each pixel, filtered, and the point-sampled texel the chroma key compares. The
// four texels around a bilinear sample have their centres at half-texel positions; the two of a
// row are neighbours in the decoded level.
struct Sample {
  U32 texel;
  U32 point;
};

// The words at `index` (texels, fog weights); where there is no gather instruction, built in
// registers (lanes stored one by one and read back as a vector would stall the read). Unsigned
// indices need no widening to address.
ARENA_STAGE U32 Gather(const std::uint32_t* from, U32 index) {
#if ARENA_ISA == 2
  // The masked forms: the plain ones start from an undefined vector that GCC warns about.
  return As<U32>(_mm512_mask_i32gather_epi32(_mm512_setzero_si512(), 0xFFFF, As<__m512i>(index),
                                             from, sizeof(std::uint32_t)));
#elif ARENA_ISA == 1
  return As<U32>(_mm256_i32gather_epi32(reinterpret_cast<const int*>(from), As<__m256i>(index),
                                        sizeof(std::uint32_t)));
#else
  U32 words;
  for (int i = 0; i < kLanes; ++i) {
    words[i] = from[index[i]];
  }
  return words;
#endif
}

// A texel and its right-hand neighbour as one word, the left one in the low half.
ARENA_STAGE std::uint64_t Pair(const std::uint32_t* from) {
  std::uint64_t pair;
  std::memcpy(&pair, from, sizeof pair);
  return pair;
}

// The pairs at the first half of `index`'s lanes (`first` 0) or at the second (`first` 1).
// Indices count texels; a pair is read at any texel, aligned or not.
ARENA_STAGE U64 Pairs(const std::uint32_t* from, U32 index, int first) {
#if ARENA_ISA == 2
  using Half = std::uint32_t __attribute__((vector_size(32)));
  const Half half = first == 0
                        ? __builtin_shufflevector(index, index, 0, 1, 2, 3, 4, 5, 6, 7)
                        : __builtin_shufflevector(index, index, 8, 9, 10, 11, 12, 13, 14, 15);
  return As<U64>(_mm512_mask_i32gather_epi64(_mm512_setzero_si512(), 0xFF, As<__m256i>(half), from,
                                             sizeof(std::uint32_t)));
#elif ARENA_ISA == 1
  const __m256i indices = As<__m256i>(index);
  const __m128i half =
      first == 0 ? _mm256_castsi256_si128(indices) : _mm256_extracti128_si256(indices, 1);
  return As<U64>(_mm256_i32gather_epi64(reinterpret_cast<const long long*>(from), half,
                                        sizeof(std::uint32_t)));
#else
  U64 pairs;
  for (int i = 0; i < kLanes / 2; ++i) {
    pairs[i] = Pair(from + index[first * kLanes / 2 + i]);
  }
  return pairs;
#endif
}

// One texel of each of a group's pairs: the left ones (kSide 0) or the right ones (kSide 1).
template <int kSide>
ARENA_STAGE U32 PairSides(U64 low, U64 high) {
  constexpr int k = kSide;
#if ARENA_LANES == 16
  return __builtin_shufflevector(As<U32>(low), As<U32>(high), k, 2 + k, 4 + k, 6 + k, 8 + k, 10 + k,
                                 12 + k, 14 + k, 16 + k, 18 + k, 20 + k, 22 + k, 24 + k, 26 + k,
                                 28 + k, 30 + k);
#else
  return __builtin_shufflevector(As<U32>(low), As<U32>(high), k, 2 + k, 4 + k, 6 + k, 8 + k, 10 + k,
                                 12 + k, 14 + k);
#endif
}

#if ARENA_ISA == 2
// The entries of a level table (LevelViews) at each pixel's level.
ARENA_STAGE I32 LevelField(const std::int32_t* table, I32 level) {
  return As<I32>(
      _mm512_maskz_permutexvar_epi32(0xFFFF, As<__m512i>(level), _mm512_loadu_si512(table)));
}
#endif

template <bool kBilinear>
ARENA_STAGE Sample SampleTexels(const DrawSetup& setup, const Coordinates& at, bool keyed) {
  const I32 level = at.level;
  const LevelViews& views = setup.levels;
#if ARENA_ISA == 2
  const I32 offset = LevelField(views.offset, level);
  const I32 widthShift = LevelField(views.widthShift, level);
  const I32 widthMask = LevelField(views.widthMask, level);
  const I32 heightMask = LevelField(views.heightMask, level);
#else
  const int first = level[0];
  I32 offset = Splat(views.offset[first]);
  I32 widthShift = Splat(views.widthShift[first]);
  I32 widthMask = Splat(views.widthMask[first]);
  I32 heightMask = Splat(views.heightMask[first]);
  if (Any(level != first)) {
    for (int i = 0; i < kLanes; ++i) {
      offset[i] = views.offset[level[i]];
      widthShift[i] = views.widthShift[level[i]];
      widthMask[i] = views.widthMask[level[i]];
      heightMask[i] = views.heightMask[level[i]];
    }
  }
#endif
  const std::uint32_t* texels = setup.texels;
  Sample sample{};
  if (!kBilinear || keyed) {
    sample.point =
        Gather(texels, TexelAt(at.u >> 8, at.v >> 8, offset, widthShift, widthMask, heightMask));
  }
  if constexpr (kBilinear) {
    const I32 u0 = at.u - 128;
    const I32 v0 = at.v - 128;
    const U32 top = TexelAt(u0 >> 8, v0 >> 8, offset, widthShift, widthMask, heightMask);
    // The row below lies one row (of width + 1 texels) on.
    const U32 bottom = top + As<U32>(widthMask + 2);
    const U64 topLow = Pairs(texels, top, 0);
    const U64 topHigh = Pairs(texels, top, 1);
    const U64 bottomLow = Pairs(texels, bottom, 0);
    const U64 bottomHigh = Pairs(texels, bottom, 1);
    const U32 fu = As<U32>(u0 & 0xFF);
    const U32 topRow = MixLanes(PairSides<0>(topLow, topHigh), PairSides<1>(topLow, topHigh), fu);
    const U32 bottomRow =
        MixLanes(PairSides<0>(bottomLow, bottomHigh), PairSides<1>(bottomLow, bottomHigh), fu);
    sample.texel = MixLanes(topRow, bottomRow, As<U32>(v0 & 0xFF));
  } else {
    sample.texel = sample.point;
  }
  return sample;
}

// The fog table's weights at each pixel's entry. The sixty-four weights fit four registers of
// AVX-512, where two-table permutes look them up faster than a gather loads them.
ARENA_STAGE U32 FogWeights(const std::uint32_t* weights, I32 entry) {
#if ARENA_ISA == 2
  const __m512i at = As<__m512i>(entry);
  const __m512i low =
      _mm512_permutex2var_epi32(_mm512_loadu_si512(weights), at, _mm512_loadu_si512(weights + 16));
  const __m512i high = _mm512_permutex2var_epi32(_mm512_loadu_si512(weights + 32), at,
                                                 _mm512_loadu_si512(weights + 48));
  return As<U32>(
      _mm512_mask_blend_epi32(_mm512_cmpge_epi32_mask(at, _mm512_set1_epi32(32)), low, high));
#else
  return Gather(weights, As<U32>(entry));
#endif
}

// Blends source colours of alpha 0..255 with the destination by the blend factors, as Blend.
ARENA_STAGE I32 FactorLanes(int code, I32 weight) {
  switch (code) {
    case GR_BLEND_SRC_ALPHA:
      return weight;
    case GR_BLEND_ONE:
      return Splat(256);
    case GR_BLEND_ONE_MINUS_SRC_ALPHA:
      return 256 - weight;
    default:
      return I32{};
  }
}

ARENA_STAGE U32 BlendLanes(const DrawSetup& setup, U32 source, I32 alpha, U32 destination) {
  const I32 weight = alpha + (alpha >> 7);
  // Factors that sum to 256 never pass 255, and their products fit the 16-bit lanes of a mix.
  if (setup.blendSrc == GR_BLEND_SRC_ALPHA && setup.blendDst == GR_BLEND_ONE_MINUS_SRC_ALPHA) {
    return MixLanes(destination, source, As<U32>(weight));
  }
  const I32 fs = FactorLanes(setup.blendSrc, weight);
  const I32 fd = FactorLanes(setup.blendDst, weight);
  I32 out = {};
  for (int shift = 0; shift <= 16; shift += 8) {
    const I32 s = As<I32>(source >> shift & 0xFF);
    const I32 d = As<I32>(destination >> shift & 0xFF);
    const I32 mixed = (s * fs + d * fd) >> 8;
    out |= Select(mixed < 255, mixed, Splat(255)) << shift;
  }
  return As<U32>(out);
}

// A value at each of a group's places in the row: pixel k takes start + k x step, each pixel on
// its own, so that no pixel waits for the one before it.
ARENA_STAGE F32 ValueAt(F32 k, float start, float step) { return Splat(start) + k * Splat(step); }

ARENA_STAGE Iterated Iterate(const Fragment& start, const Fragment& step, int at) {
  const F32 k = __builtin_convertvector(LaneNumbers() + at, F32);
  return Iterated{ValueAt(k, start.r, step.r),     ValueAt(k, start.g, step.g),
                  ValueAt(k, start.b, step.b),     ValueAt(k, start.a, step.a),
                  ValueAt(k, start.oow, step.oow), ValueAt(k, start.sow, step.sow),
                  ValueAt(k, start.tow, step.tow)};
}

// A group of a span: the pixels from `at` on.
struct GroupOfSpan {
  const Span* span;
  int at;
};

// Runs groups of pixels through the stages side by side, each stage for every group before the
// next stage: each group's steps form one long chain, and the chains of several groups overlap
// where one group's alone would keep the processor waiting.
template <int N>
ARENA_STAGE void RenderGroups(const DrawSetup& setup, const GroupOfSpan (&of)[N],
                              const Fragment& step, const Gradients* gradients) {
  struct {
    std::size_t index;
    Iterated c;
    int valid;
  } groups[N];
  ARENA_EACH_GROUP
  for (int g = 0; g < N; ++g) {
    const Span& span = *of[g].span;
    groups[g].index = span.index + static_cast<std::size_t>(of[g].at);
    groups[g].c = Iterate(span.start, step, of[g].at);
    groups[g].valid = std::min(kLanes, span.count - of[g].at);
  }
  // Whole vectors are read and written back when they stay inside the buffers; the lanes past
  // the row are then rewritten with what they hold.
  bool whole[N];
  I32 live[N];
  F32 w[N];
  I32 depth[N] = {};
  U16 depthHeld[N] = {};
  ARENA_EACH_GROUP
  for (int g = 0; g < N; ++g) {
    whole[g] = groups[g].index + kLanes <= kScreenPixels;
    live[g] = LanesBelow(groups[g].valid);
    w[g] = 1.0f / groups[g].c.oow;
  }
  if (setup.depthOn) {
    bool any = false;
    ARENA_EACH_GROUP
    for (int g = 0; g < N; ++g) {
      const I32 unclamped = DepthOfWLanes(w[g]) + setup.depthBias;
      depth[g] = Select(unclamped < 0, I32{}, Select(unclamped > 0xFFFF, Splat(0xFFFF), unclamped));
      depthHeld[g] = LoadWords(setup.depth + groups[g].index, groups[g].valid, whole[g]);
      if (setup.depthTest) {
        live[g] &= depth[g] <= __builtin_convertvector(depthHeld[g], I32);
      }
      any = any || Any(live[g]);
    }
    // Pixels behind the depth buffer need no texels.
    if (!any) {
      return;
    }
  }
  U32 colour[N] = {};
  const bool modulate = setup.colourSource == ColourSource::kTextureTimesIterated;
  if (!setup.textured || modulate) {
    ARENA_EACH_GROUP
    for (int g = 0; g < N; ++g) {
      const I32 r = ClampToByteLanes(groups[g].c.r);
      const I32 gr = ClampToByteLanes(groups[g].c.g);
      const I32 b = ClampToByteLanes(groups[g].c.b);
      colour[g] = As<U32>(r << 16 | gr << 8 | b);
    }
  }
  if (setup.textured) {
    Coordinates coordinates[N];
    ARENA_EACH_GROUP
    for (int g = 0; g < N; ++g) {
      coordinates[g] = TexelCoordinates(setup, w[g], groups[g].c.sow, groups[g].c.tow, gradients);
    }
    Sample sample[N];
    ARENA_EACH_GROUP
    for (int g = 0; g < N; ++g) {
      sample[g] = setup.bilinear ? SampleTexels<true>(setup, coordinates[g], setup.chromakey)
                                 : SampleTexels<false>(setup, coordinates[g], setup.chromakey);
    }
    ARENA_EACH_GROUP
    for (int g = 0; g < N; ++g) {
      // The key is compared with the point-sampled texel, before filtering and combine.
      if (setup.chromakey) {
        live[g] &= sample[g].point != setup.chromakeyValue;
      }
      colour[g] = modulate ? ModulateLanes(sample[g].texel, colour[g]) : sample[g].texel;
    }
  }
  if (setup.fog) {
    ARENA_EACH_GROUP
    for (int g = 0; g < N; ++g) {
      const U32 weight = FogWeights(setup.fogWeights, FogIndexOfWLanes(w[g]));
      colour[g] = MixLanes(colour[g], As<U32>(Splat(static_cast<int>(setup.fogColour))), weight);
    }
  }
  if (setup.colourWrite) {
    ARENA_EACH_GROUP
    for (int g = 0; g < N; ++g) {
      std::uint16_t* pixels = setup.colour + groups[g].index;
      const U16 held = LoadWords(pixels, groups[g].valid, whole[g]);
      if (!setup.blendReplace) {
        const I32 alpha = setup.alphaIterated ? ClampToByteLanes(groups[g].c.a) : Splat(255);
        colour[g] =
            BlendLanes(setup, colour[g], alpha, Widen565<U32>(__builtin_convertvector(held, U32)));
      }
      StoreLive(pixels, __builtin_convertvector(Pack565<U32>(colour[g]), U16), held, live[g],
                groups[g].valid, whole[g]);
    }
  }
  if (setup.depthWrite) {
    ARENA_EACH_GROUP
    for (int g = 0; g < N; ++g) {
      StoreLive(setup.depth + groups[g].index, __builtin_convertvector(depth[g], U16), depthHeld[g],
                live[g], groups[g].valid, whole[g]);
    }
  }
}

void RenderSpansStages(const DrawSetup& setup, const Span* spans, int count, const Fragment& step,
                       const Gradients* gradients) {
  // Three groups at a time, from one span or from several; the lanes past a span's end take
  // the next values.
  GroupOfSpan three[3];
  int held = 0;
  for (const Span* span = spans; span != spans + count; ++span) {
    for (int at = 0; at < span->count; at += kLanes) {
      three[held++] = GroupOfSpan{span, at};
      if (held == 3) {
        RenderGroups(setup, three, step, gradients);
        held = 0;
      }
    }
  }
  if (held == 2) {
    const GroupOfSpan two[2] = {three[0], three[1]};
    RenderGroups(setup, two, step, gradients);
  } else if (held == 1) {
    const GroupOfSpan one[1] = {three[0]};
    RenderGroups(setup, one, step, gradients);
  }
}
