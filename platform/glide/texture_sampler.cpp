#include <cmath>

#include "platform/glide/pixel_pipeline.h"

namespace platform::glide {
namespace {

std::uint32_t FetchTexel(const DrawSetup& setup, const TextureLevel& level, int u, int v) {
  const std::size_t texel = static_cast<std::size_t>(v & (level.height - 1)) * level.width +
                            static_cast<std::size_t>(u & (level.width - 1));
  const std::uint8_t* memory = setup.textureMemory + level.offset;
  if (setup.texture.bytesPerTexel == 1) {
    return setup.palette[memory[texel]] & 0xFFFFFF;
  }
  const std::uint16_t value =
      static_cast<std::uint16_t>(memory[2 * texel] | memory[2 * texel + 1] << 8);
  return Unpack565(value);
}

// A texture coordinate in texels times 256, safe for any float (NaN and far values give 0).
int FixedTexel(float texels) {
  const float fixed = std::floor(texels * 256.0f);
  return fixed > -1.0e9f && fixed < 1.0e9f ? static_cast<int>(fixed) : 0;
}

// The mipmap level nearest to the texel step: round(log2(step) + bias), the halfway point
// between levels k and k + 1 lying at a step of 2^(k + 0.5). With the squared step x (bias
// folded in) that is floor((floor(log2 x) + 1) / 2), read from the float's exponent.
int NearestLevel(float stepSquared, int levelCount) {
  if (!(stepSquared >= 1.0f)) {
    return 0;
  }
  const int exponent = stepSquared < 1.0e30f
                           ? static_cast<int>(std::bit_cast<std::uint32_t>(stepSquared) >> 23) - 127
                           : 99;
  const int level = (exponent + 1) / 2;
  return level < levelCount ? level : levelCount - 1;
}

}  // namespace

std::uint32_t SampleTexture(const DrawSetup& setup, const TexelSpot& spot, bool& keyed) {
  const SourceTexture& texture = setup.texture;
  int level = 0;
  if (setup.mipmap && texture.levelCount > 1) {
    const float texelsPerUnit = static_cast<float>(texture.largestSide) / 256.0f;
    level = NearestLevel(spot.stepSquared * texelsPerUnit * texelsPerUnit * setup.lodScale,
                         texture.levelCount);
  }
  const TextureLevel& chosen = texture.levels[level];
  // s and t run 0..256 over the larger side of the largest level, on both axes.
  const float scale = static_cast<float>(texture.largestSide >> level) / 256.0f;
  const int u = FixedTexel(spot.s * scale);
  const int v = FixedTexel(spot.t * scale);
  if (setup.chromakey) {
    // The key is compared with the point-sampled texel, before any filtering or combine.
    keyed = FetchTexel(setup, chosen, u >> 8, v >> 8) == setup.chromakeyValue;
  }
  if (!setup.bilinear) {
    return FetchTexel(setup, chosen, u >> 8, v >> 8);
  }
  // Bilinear: the four texels around the point, whose centres lie at half-texel positions.
  const int u0 = u - 128;
  const int v0 = v - 128;
  const std::uint32_t fu = static_cast<std::uint32_t>(u0 & 0xFF);
  const std::uint32_t fv = static_cast<std::uint32_t>(v0 & 0xFF);
  const int iu = u0 >> 8;
  const int iv = v0 >> 8;
  const std::uint32_t top =
      Mix(FetchTexel(setup, chosen, iu, iv), FetchTexel(setup, chosen, iu + 1, iv), fu);
  const std::uint32_t bottom =
      Mix(FetchTexel(setup, chosen, iu, iv + 1), FetchTexel(setup, chosen, iu + 1, iv + 1), fu);
  return Mix(top, bottom, fv);
}

}  // namespace platform::glide
