// The pixel pipeline, run over a row in chunks of up to 16 pixels, one stage at a time: W and
// the depth test, iterated colour, texel and combine, fog, then blend and writes. Each stage
// decides its setting once per chunk rather than once per pixel.
#include <algorithm>
#include <bit>
#include <cstdint>

#include "platform/glide/pixel_pipeline.h"

namespace platform::glide {
namespace {

constexpr int kChunk = 16;

struct Chunk {
  float r[kChunk];
  float g[kChunk];
  float b[kChunk];
  float a[kChunk];
  float oow[kChunk];
  float sow[kChunk];
  float tow[kChunk];
  float w[kChunk];
  int depth[kChunk];
  bool live[kChunk];
  std::uint32_t colour[kChunk];
};

// A float to int rounding toward minus infinity, for values known to be in int range.
inline int FloorToInt(float value) {
  const int truncated = static_cast<int>(value);
  return truncated - (value < static_cast<float>(truncated) ? 1 : 0);
}

// A texture coordinate in texels times 256, safe for any float (NaN and far values give 0).
inline int FixedTexel(float texels) {
  const float fixed = texels * 256.0f;
  return fixed > -1.0e9f && fixed < 1.0e9f ? FloorToInt(fixed) : 0;
}

template <bool kPalettised>
inline std::uint32_t FetchTexel(const DrawSetup& setup, const TextureLevel& level, int u, int v) {
  const std::size_t texel = static_cast<std::size_t>(v & (level.height - 1)) * level.width +
                            static_cast<std::size_t>(u & (level.width - 1));
  const std::uint8_t* memory = setup.textureMemory + level.offset;
  if constexpr (kPalettised) {
    return setup.palette[memory[texel]] & 0xFFFFFF;
  } else {
    return Unpack565(static_cast<std::uint16_t>(memory[2 * texel] | memory[2 * texel + 1] << 8));
  }
}

// The mipmap level nearest to the texel step: round(log2(step) + bias), the halfway point
// between levels k and k + 1 lying at a step of 2^(k + 0.5). With the squared step x (bias
// folded in) that is floor((floor(log2 x) + 1) / 2), read from the float's exponent.
inline int NearestLevel(float stepSquared, int levelCount) {
  if (!(stepSquared >= 1.0f)) {
    return 0;
  }
  const int exponent = stepSquared < 1.0e30f
                           ? static_cast<int>(std::bit_cast<std::uint32_t>(stepSquared) >> 23) - 127
                           : 99;
  const int level = (exponent + 1) / 2;
  return level < levelCount ? level : levelCount - 1;
}

// The texel step of one pixel, squared, in level-0 texels (the larger of the steps along x and
// along y), with the LOD bias folded in.
inline float StepSquared(const DrawSetup& setup, const Gradients& gradients, float s, float t,
                         float w) {
  // d(sow / oow) = (d sow - s d oow) / oow along each axis.
  const float sx = (gradients.sowX - s * gradients.oowX) * w;
  const float tx = (gradients.towX - t * gradients.oowX) * w;
  const float sy = (gradients.sowY - s * gradients.oowY) * w;
  const float ty = (gradients.towY - t * gradients.oowY) * w;
  const float alongX = sx * sx + tx * tx;
  const float alongY = sy * sy + ty * ty;
  return (alongX > alongY ? alongX : alongY) * setup.stepScale;
}

// Texels of the live pixels, combined with their iterated colours; keyed pixels die.
template <bool kBilinear, bool kPalettised>
void Texture(const DrawSetup& setup, Chunk& c, int n, const Gradients* gradients) {
  const SourceTexture& texture = setup.texture;
  const bool chooseLevel = setup.mipmap && texture.levelCount > 1 && gradients != nullptr;
  const bool modulate = setup.colourSource == ColourSource::kTextureTimesIterated;
  for (int i = 0; i < n; ++i) {
    if (!c.live[i]) {
      continue;
    }
    const float s = c.sow[i] * c.w[i];
    const float t = c.tow[i] * c.w[i];
    const int level =
        chooseLevel ? NearestLevel(StepSquared(setup, *gradients, s, t, c.w[i]), texture.levelCount)
                    : 0;
    const TextureLevel& chosen = texture.levels[level];
    // s and t run 0..256 over the larger side of the largest level, on both axes.
    const float scale = setup.levelScale[level];
    const int u = FixedTexel(s * scale);
    const int v = FixedTexel(t * scale);
    // The key is compared with the point-sampled texel, before any filtering or combine.
    if (setup.chromakey &&
        FetchTexel<kPalettised>(setup, chosen, u >> 8, v >> 8) == setup.chromakeyValue) {
      c.live[i] = false;
      continue;
    }
    std::uint32_t texel;
    if constexpr (kBilinear) {
      // The four texels around the point, whose centres lie at half-texel positions.
      const int u0 = u - 128;
      const int v0 = v - 128;
      const std::uint32_t fu = static_cast<std::uint32_t>(u0 & 0xFF);
      const std::uint32_t fv = static_cast<std::uint32_t>(v0 & 0xFF);
      const int iu = u0 >> 8;
      const int iv = v0 >> 8;
      const std::uint32_t top = Mix(FetchTexel<kPalettised>(setup, chosen, iu, iv),
                                    FetchTexel<kPalettised>(setup, chosen, iu + 1, iv), fu);
      const std::uint32_t bottom = Mix(FetchTexel<kPalettised>(setup, chosen, iu, iv + 1),
                                       FetchTexel<kPalettised>(setup, chosen, iu + 1, iv + 1), fu);
      texel = Mix(top, bottom, fv);
    } else {
      texel = FetchTexel<kPalettised>(setup, chosen, u >> 8, v >> 8);
    }
    if (modulate) {
      // Texel times iterated colour: t x (i + 1) / 256 a channel, so 255 x 255 stays 255.
      const std::uint32_t iterated = c.colour[i];
      const std::uint32_t r = ((texel >> 16) * ((iterated >> 16) + 1)) >> 8;
      const std::uint32_t g = (((texel >> 8) & 0xFF) * (((iterated >> 8) & 0xFF) + 1)) >> 8;
      const std::uint32_t b = ((texel & 0xFF) * ((iterated & 0xFF) + 1)) >> 8;
      texel = r << 16 | g << 8 | b;
    }
    c.colour[i] = texel;
  }
}

void RenderChunk(const DrawSetup& setup, std::size_t index, Chunk& c, int n,
                 const Gradients* gradients) {
  for (int i = 0; i < n; ++i) {
    c.w[i] = 1.0f / c.oow[i];
    c.live[i] = true;
  }
  if (setup.depthOn) {
    const std::uint16_t* buffer = setup.depth + index;
    for (int i = 0; i < n; ++i) {
      const int depth = std::clamp(DepthOfW(c.w[i]) + setup.depthBias, 0, 0xFFFF);
      c.depth[i] = depth;
      c.live[i] = !setup.depthTest || depth <= buffer[i];
    }
  }
  for (int i = 0; i < n; ++i) {
    c.colour[i] = static_cast<std::uint32_t>(ClampToByte(c.r[i]) << 16 | ClampToByte(c.g[i]) << 8 |
                                             ClampToByte(c.b[i]));
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
    for (int i = 0; i < n; ++i) {
      c.colour[i] = Mix(c.colour[i], setup.fogColour, Weight(setup.fogTable[FogIndexOfW(c.w[i])]));
    }
  }
  if (setup.colourWrite) {
    std::uint16_t* pixels = setup.colour + index;
    if (setup.blendReplace) {
      for (int i = 0; i < n; ++i) {
        if (c.live[i]) {
          pixels[i] = Pack565(c.colour[i]);
        }
      }
    } else {
      for (int i = 0; i < n; ++i) {
        if (c.live[i]) {
          const int alpha = setup.alphaIterated ? ClampToByte(c.a[i]) : 255;
          pixels[i] = Pack565(Blend(setup, c.colour[i], alpha, Unpack565(pixels[i])));
        }
      }
    }
  }
  if (setup.depthWrite) {
    std::uint16_t* buffer = setup.depth + index;
    for (int i = 0; i < n; ++i) {
      if (c.live[i]) {
        buffer[i] = static_cast<std::uint16_t>(c.depth[i]);
      }
    }
  }
}

}  // namespace

void RenderSpan(const DrawSetup& setup, std::size_t index, int count, Fragment f,
                const Fragment& step, const Gradients* gradients) {
  Chunk c;
  while (count > 0) {
    const int n = std::min(count, kChunk);
    for (int i = 0; i < n; ++i) {
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
    RenderChunk(setup, index, c, n, gradients);
    index += static_cast<std::size_t>(n);
    count -= n;
  }
}

}  // namespace platform::glide
