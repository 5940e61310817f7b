// The pixel pipeline, run over a row in chunks of up to 32 pixels, one stage at a time: W and
// the depth test, iterated colour, texel and combine, fog, then blend and writes. Each stage
// decides its setting once per chunk rather than once per pixel, and runs branch-free four
// pixels at a time in vector lanes (the chunk rounded up to whole vectors; the extra lanes are
// computed but change no pixel), with the same arithmetic, step for step, as one pixel at a
// time. Only the texel loads go one pixel at a time; filtering and combine put each colour
// channel in a 16-bit lane.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/glide/pixel_pipeline.h"

namespace platform::glide {
namespace {

constexpr int kChunk = 32;
constexpr int kLanes = 4;

using U32x4 = std::uint32_t __attribute__((vector_size(16)));
using U16x8 = std::uint16_t __attribute__((vector_size(16)));
using U16x4 = std::uint16_t __attribute__((vector_size(8)));
using F32x4 = float __attribute__((vector_size(16)));
using I32x4 = std::int32_t __attribute__((vector_size(16)));

struct alignas(16) Chunk {
  float r[kChunk];
  float g[kChunk];
  float b[kChunk];
  float a[kChunk];
  float oow[kChunk];
  float sow[kChunk];
  float tow[kChunk];
  float w[kChunk];
  int depth[kChunk];
  int level[kChunk];
  int u[kChunk];
  int v[kChunk];
  // Pixels still to be written: non-zero (a set lane mask or true) or zero.
  int live[kChunk];
  std::uint32_t colour[kChunk];
  // The four texels around each pixel (or the one point-sampled texel in the first) and the
  // point-sampled texel for the chroma key, their places in the level, and the bilinear
  // weights between them.
  int index[5][kChunk];
  std::uint32_t texel[5][kChunk];
  int weightU[kChunk];
  int weightV[kChunk];
};

template <typename Vector, typename Element>
Vector Load(const Element* from) {
  Vector value;
  std::memcpy(&value, from, sizeof value);
  return value;
}

template <typename Vector, typename Element>
void Store(Element* to, Vector value) {
  std::memcpy(to, &value, sizeof value);
}

// Lanes of `yes` where the mask is set (all ones), of `no` elsewhere.
template <typename Vector>
Vector Select(I32x4 mask, Vector yes, Vector no) {
  return std::bit_cast<Vector>((mask & std::bit_cast<I32x4>(yes)) |
                               (~mask & std::bit_cast<I32x4>(no)));
}

// An iterated value to 0..255, as ClampToByte.
inline I32x4 ClampToByte4(F32x4 value) {
  const F32x4 zero = {};
  const F32x4 top = zero + 255.0f;
  F32x4 clamped = Select(value > zero, value, zero);
  clamped = Select(clamped < top, clamped, top);
  return __builtin_convertvector(clamped, I32x4);
}

// A pixel's depth, as DepthOfW: the clamped W rounds to the same whole unit.
inline I32x4 DepthOfW4(F32x4 w) {
  const F32x4 zero = {};
  F32x4 clamped = Select(w > zero, w, zero);
  clamped = Select(clamped < 65534.5f, clamped, zero + 65535.0f);
  return __builtin_convertvector(clamped + 0.5f, I32x4);
}

// A texture coordinate in texels times 256, rounded toward minus infinity; NaN and far values
// give 0.
inline I32x4 FixedTexel4(F32x4 texels) {
  const F32x4 fixed = texels * 256.0f;
  const F32x4 safe = Select((fixed > -1.0e9f) & (fixed < 1.0e9f), fixed, F32x4{});
  const I32x4 truncated = __builtin_convertvector(safe, I32x4);
  // A set mask is -1: one less where truncation went up.
  return truncated + (safe < __builtin_convertvector(truncated, F32x4));
}

// The mipmap level nearest to the texel step: round(log2(step) + bias), the halfway point
// between levels k and k + 1 lying at a step of 2^(k + 0.5). With the squared step x (bias
// folded in) that is floor((floor(log2 x) + 1) / 2), read from the float's exponent. Steps too
// large for any level (infinity too) clamp to the smallest; below 1 and NaN take the largest.
inline I32x4 NearestLevel4(F32x4 stepSquared, int levelCount) {
  const I32x4 exponent = std::bit_cast<I32x4>(std::bit_cast<U32x4>(stepSquared) >> 23) - 127;
  const I32x4 level = (exponent + 1) >> 1;
  const I32x4 smallest = I32x4{} + (levelCount - 1);
  return Select(stepSquared >= 1.0f, Select(level < smallest, level, smallest), I32x4{});
}

// Texel coordinates times 256 of each pixel, at its level.
void TexelCoordinates(const DrawSetup& setup, Chunk& c, int n, const Gradients* gradients) {
  const SourceTexture& texture = setup.texture;
  if (setup.mipmap && texture.levelCount > 1 && gradients != nullptr) {
    const Gradients g = *gradients;
    const int levelCount = texture.levelCount;
    const float stepScale = setup.stepScale;
    // s and t run 0..256 over the larger side of the largest level, on both axes; each level
    // halves the texels per unit, so its scale is the largest level's times 2^-level.
    const float largest = setup.levelScale[0];
    for (int i = 0; i < n; i += kLanes) {
      const F32x4 w = Load<F32x4>(c.w + i);
      const F32x4 s = Load<F32x4>(c.sow + i) * w;
      const F32x4 t = Load<F32x4>(c.tow + i) * w;
      // The texel step, squared, in level-0 texels: the larger of the steps along x and along
      // y, with d(sow / oow) = (d sow - s d oow) / oow along each axis.
      const F32x4 sx = (g.sowX - s * g.oowX) * w;
      const F32x4 tx = (g.towX - t * g.oowX) * w;
      const F32x4 sy = (g.sowY - s * g.oowY) * w;
      const F32x4 ty = (g.towY - t * g.oowY) * w;
      const F32x4 alongX = sx * sx + tx * tx;
      const F32x4 alongY = sy * sy + ty * ty;
      const I32x4 level =
          NearestLevel4(Select(alongX > alongY, alongX, alongY) * stepScale, levelCount);
      const F32x4 scale = largest * std::bit_cast<F32x4>((127 - level) << 23);
      Store(c.level + i, level);
      Store(c.u + i, FixedTexel4(s * scale));
      Store(c.v + i, FixedTexel4(t * scale));
    }
    return;
  }
  const float scale = setup.levelScale[0];
  for (int i = 0; i < n; i += kLanes) {
    const F32x4 w = Load<F32x4>(c.w + i);
    Store(c.level + i, I32x4{});
    Store(c.u + i, FixedTexel4(Load<F32x4>(c.sow + i) * w * scale));
    Store(c.v + i, FixedTexel4(Load<F32x4>(c.tow + i) * w * scale));
  }
}

// The index of texel (u, v) in its level, wrapped on both axes.
template <typename Int>
inline Int TexelIndex(const LevelView& level, Int u, Int v) {
  return (v & level.heightMask) << level.widthShift | (u & level.widthMask);
}

// A texel as a palette entry or an RGB565 word, still to be decoded.
template <bool kPalettised>
inline std::uint32_t RawTexel(const DrawSetup& setup, const LevelView& level, int index) {
  const std::size_t at = static_cast<std::size_t>(index);
  if constexpr (kPalettised) {
    return setup.palette[level.memory[at]];
  } else {
    return static_cast<std::uint32_t>(level.memory[2 * at] | level.memory[2 * at + 1] << 8);
  }
}

// Raw texels to 0x00RRGGBB.
template <bool kPalettised>
inline U32x4 Decode4(U32x4 raw) {
  if constexpr (kPalettised) {
    return raw & 0xFFFFFF;
  } else {
    // Each channel widened with its high bits repeated below, as Unpack565.
    const U32x4 r = raw >> 11 & 0x1F;
    const U32x4 g = raw >> 5 & 0x3F;
    const U32x4 b = raw & 0x1F;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
  }
}

// The texel indices of one pixel or of four: the point-sampled texel (for the chroma key and
// point filtering) and the four around the point, whose centres lie at half-texel positions,
// with the bilinear weights between them.
template <bool kBilinear, typename Int>
inline void Corners(const LevelView& level, Int u, Int v, Int (&index)[5], Int& weightU,
                    Int& weightV) {
  index[4] = TexelIndex(level, u >> 8, v >> 8);
  if constexpr (kBilinear) {
    const Int u0 = u - 128;
    const Int v0 = v - 128;
    weightU = u0 & 0xFF;
    weightV = v0 & 0xFF;
    const Int iu = u0 >> 8;
    const Int iv = v0 >> 8;
    index[0] = TexelIndex(level, iu, iv);
    index[1] = TexelIndex(level, iu + 1, iv);
    index[2] = TexelIndex(level, iu, iv + 1);
    index[3] = TexelIndex(level, iu + 1, iv + 1);
  } else {
    index[0] = index[4];
  }
}

// Gathers each pixel's texels (decoded); with the chroma key on, keyed pixels die. The key is
// compared with the point-sampled texel, before any filtering or combine.
template <bool kBilinear, bool kPalettised>
void Gather(const DrawSetup& setup, Chunk& c, int n) {
  const LevelView* views = setup.levels;
  constexpr int kCorners = kBilinear ? 4 : 1;
  const int first = c.level[0];
  bool uniform = true;
  for (int i = 0; i < n; ++i) {
    uniform &= c.level[i] == first;
  }
  if (uniform) {
    // One level for the whole chunk: indices four pixels at a time, then the loads.
    const LevelView& level = views[first];
    for (int i = 0; i < n; i += kLanes) {
      I32x4 index[5];
      I32x4 weightU = {};
      I32x4 weightV = {};
      Corners<kBilinear>(level, Load<I32x4>(c.u + i), Load<I32x4>(c.v + i), index, weightU,
                         weightV);
      Store(c.index[4] + i, index[4]);
      for (int k = 0; k < kCorners; ++k) {
        Store(c.index[k] + i, index[k]);
      }
      if constexpr (kBilinear) {
        Store(c.weightU + i, weightU);
        Store(c.weightV + i, weightV);
      }
    }
    for (int k = 0; k < kCorners; ++k) {
      for (int i = 0; i < n; ++i) {
        c.texel[k][i] = RawTexel<kPalettised>(setup, level, c.index[k][i]);
      }
    }
    if (setup.chromakey) {
      for (int i = 0; i < n; ++i) {
        c.texel[4][i] = RawTexel<kPalettised>(setup, level, c.index[4][i]);
      }
    }
  } else {
    for (int i = 0; i < n; ++i) {
      const LevelView& level = views[c.level[i]];
      int index[5];
      int weightU = 0;
      int weightV = 0;
      Corners<kBilinear>(level, c.u[i], c.v[i], index, weightU, weightV);
      for (int k = 0; k < kCorners; ++k) {
        c.texel[k][i] = RawTexel<kPalettised>(setup, level, index[k]);
      }
      c.texel[4][i] = RawTexel<kPalettised>(setup, level, index[4]);
      c.weightU[i] = weightU;
      c.weightV[i] = weightV;
    }
  }
  for (int k = 0; k < kCorners; ++k) {
    for (int i = 0; i < n; i += kLanes) {
      Store(c.texel[k] + i, Decode4<kPalettised>(Load<U32x4>(c.texel[k] + i)));
    }
  }
  if (setup.chromakey) {
    for (int i = 0; i < n; i += kLanes) {
      Store(c.texel[4] + i, Decode4<kPalettised>(Load<U32x4>(c.texel[4] + i)));
    }
    for (int i = 0; i < n; ++i) {
      c.live[i] = c.live[i] && c.texel[4][i] != setup.chromakeyValue;
    }
  }
}

// Mix of four pixels' colour pairs, a channel in each 16-bit lane: a x (256 - k) + b x k
// stays within 16 bits for channels of 0..255 and k of 0..256.
inline U32x4 Mix4(U32x4 a, U32x4 b, U32x4 k) {
  const U16x8 kk = std::bit_cast<U16x8>(k | k << 16);
  const U16x8 inverse = 256 - kk;
  const U16x8 blueRed = (std::bit_cast<U16x8>(a & 0x00FF00FF) * inverse +
                         std::bit_cast<U16x8>(b & 0x00FF00FF) * kk) >>
                        8;
  const U16x8 green = (std::bit_cast<U16x8>(a >> 8 & 0x00FF00FF) * inverse +
                       std::bit_cast<U16x8>(b >> 8 & 0x00FF00FF) * kk) >>
                      8;
  return std::bit_cast<U32x4>(blueRed) | std::bit_cast<U32x4>(green) << 8;
}

// Texel times iterated colour: t x (i + 1) / 256 a channel, so 255 x 255 stays 255.
inline U32x4 Modulate4(U32x4 texel, U32x4 iterated) {
  const U16x8 blueRed = (std::bit_cast<U16x8>(texel & 0x00FF00FF) *
                         (std::bit_cast<U16x8>(iterated & 0x00FF00FF) + 1)) >>
                        8;
  const U16x8 green = (std::bit_cast<U16x8>(texel >> 8 & 0x00FF00FF) *
                       (std::bit_cast<U16x8>(iterated >> 8 & 0x00FF00FF) + 1)) >>
                      8;
  return std::bit_cast<U32x4>(blueRed) | std::bit_cast<U32x4>(green) << 8;
}

// Texels of the pixels, filtered and combined with their iterated colours.
template <bool kBilinear, bool kPalettised>
void Texture(const DrawSetup& setup, Chunk& c, int n, const Gradients* gradients) {
  TexelCoordinates(setup, c, n, gradients);
  Gather<kBilinear, kPalettised>(setup, c, n);
  const bool modulate = setup.colourSource == ColourSource::kTextureTimesIterated;
  for (int i = 0; i < n; i += kLanes) {
    U32x4 texel = Load<U32x4>(c.texel[0] + i);
    if constexpr (kBilinear) {
      const U32x4 fu = Load<U32x4>(c.weightU + i);
      const U32x4 top = Mix4(texel, Load<U32x4>(c.texel[1] + i), fu);
      const U32x4 bottom = Mix4(Load<U32x4>(c.texel[2] + i), Load<U32x4>(c.texel[3] + i), fu);
      texel = Mix4(top, bottom, Load<U32x4>(c.weightV + i));
    }
    if (modulate) {
      texel = Modulate4(texel, Load<U32x4>(c.colour + i));
    }
    Store(c.colour + i, texel);
  }
}

// Writes the live lanes of four 16-bit values over four buffer words, keeping the others.
inline void WriteLive(std::uint16_t* to, U32x4 values, I32x4 live) {
  const U16x4 keep = __builtin_convertvector(live == 0, U16x4);
  Store(to, (__builtin_convertvector(values, U16x4) & ~keep) | (Load<U16x4>(to) & keep));
}

void RenderChunk(const DrawSetup& setup, std::size_t index, Chunk& c, int count, int n,
                 const Gradients* gradients) {
  // Whole vectors can be read and written back when the row's last vector stays inside the
  // buffers; the lanes past the row are then rewritten with what they hold.
  const bool wholeVectors = index + static_cast<std::size_t>(n) <= kScreenPixels;
  for (int i = 0; i < n; i += kLanes) {
    Store(c.w + i, 1.0f / Load<F32x4>(c.oow + i));
  }
  std::fill_n(c.live, n, 1);
  if (setup.depthOn) {
    const std::uint16_t* buffer = setup.depth + index;
    const I32x4 zero = {};
    const I32x4 most = zero + 0xFFFF;
    const bool testVectors = setup.depthTest && wholeVectors;
    for (int i = 0; i < n; i += kLanes) {
      const I32x4 unclamped = DepthOfW4(Load<F32x4>(c.w + i)) + setup.depthBias;
      const I32x4 depth = Select(unclamped < zero, zero, Select(unclamped > most, most, unclamped));
      Store(c.depth + i, depth);
      if (testVectors) {
        const I32x4 held = __builtin_convertvector(Load<U16x4>(buffer + i), I32x4);
        Store(c.live + i, depth <= held);
      }
    }
    if (setup.depthTest && !testVectors) {
      for (int i = 0; i < count; ++i) {
        c.live[i] = c.depth[i] <= buffer[i];
      }
    }
    // Pixels behind the depth buffer need no texels.
    if (std::none_of(c.live, c.live + count, [](int live) { return live != 0; })) {
      return;
    }
  }
  std::fill(c.live + count, c.live + n, 0);
  if (!setup.textured || setup.colourSource == ColourSource::kTextureTimesIterated) {
    for (int i = 0; i < n; i += kLanes) {
      const I32x4 r = ClampToByte4(Load<F32x4>(c.r + i));
      const I32x4 g = ClampToByte4(Load<F32x4>(c.g + i));
      const I32x4 b = ClampToByte4(Load<F32x4>(c.b + i));
      Store(c.colour + i, r << 16 | g << 8 | b);
    }
  }
  if (setup.textured) {
    const bool palettised = setup.texture.bytesPerTexel == 1;
    if (setup.bilinear) {
      palettised ? Texture<true, true>(setup, c, n, gradients)
                 : Texture<true, false>(setup, c, n, gradients);
    } else {
      palettised ? Texture<false, true>(setup, c, n, gradients)
                 : Texture<false, false>(setup, c, n, gradients);
    }
  }
  if (setup.fog) {
    for (int i = 0; i < count; ++i) {
      c.colour[i] = Mix(c.colour[i], setup.fogColour, Weight(setup.fogTable[FogIndexOfW(c.w[i])]));
    }
  }
  if (setup.colourWrite) {
    std::uint16_t* pixels = setup.colour + index;
    if (setup.blendReplace && wholeVectors) {
      for (int i = 0; i < n; i += kLanes) {
        const U32x4 rgb = Load<U32x4>(c.colour + i);
        WriteLive(pixels + i, (rgb >> 8 & 0xF800) | (rgb >> 5 & 0x07E0) | (rgb >> 3 & 0x001F),
                  Load<I32x4>(c.live + i));
      }
    } else if (setup.blendReplace) {
      for (int i = 0; i < count; ++i) {
        const std::uint16_t old = pixels[i];
        pixels[i] = c.live[i] ? Pack565(c.colour[i]) : old;
      }
    } else {
      for (int i = 0; i < count; ++i) {
        if (c.live[i]) {
          const int alpha = setup.alphaIterated ? ClampToByte(c.a[i]) : 255;
          pixels[i] = Pack565(Blend(setup, c.colour[i], alpha, Unpack565(pixels[i])));
        }
      }
    }
  }
  if (setup.depthWrite) {
    std::uint16_t* buffer = setup.depth + index;
    if (wholeVectors) {
      for (int i = 0; i < n; i += kLanes) {
        WriteLive(buffer + i, Load<U32x4>(c.depth + i), Load<I32x4>(c.live + i));
      }
      return;
    }
    for (int i = 0; i < count; ++i) {
      const std::uint16_t old = buffer[i];
      buffer[i] = c.live[i] ? static_cast<std::uint16_t>(c.depth[i]) : old;
    }
  }
}

}  // namespace

void RenderSpan(const DrawSetup& setup, std::size_t index, int count, const Fragment& start,
                const Fragment& step, const Gradients* gradients) {
  Chunk c;
  Fragment f = start;
  while (count > 0) {
    const int n = std::min(count, kChunk);
    // The stages run over whole vectors: the lanes past the row's end take the next values.
    const int lanes = (n + kLanes - 1) / kLanes * kLanes;
    for (int i = 0; i < lanes; ++i) {
      c.r[i] = f.r;
      c.g[i] = f.g;
      c.b[i] = f.b;
      c.a[i] = f.a;
      c.oow[i] = f.oow;
      c.sow[i] = f.sow;
      c.tow[i] = f.tow;
      f.r += step.r;
      f.g += step.g;
      f.b += step.b;
      f.a += step.a;
      f.oow += step.oow;
      f.sow += step.sow;
      f.tow += step.tow;
    }
    RenderChunk(setup, index, c, n, lanes, gradients);
    index += static_cast<std::size_t>(n);
    count -= n;
  }
}

}  // namespace platform::glide
