// Small textures made in code, downloaded to texture memory and selected.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/glide.h"

// A square 8-bit texture of two levels, `side` (32 or 16 ...) and side / 2, its level and aspect
// codes, and its texels (largest level first).
struct TestTexture {
  GrTexInfo info{};
  std::vector<std::uint8_t> texels;
};

inline int LodOfSide(int side) {
  int lod = 0;
  while ((256 >> lod) > side) {
    ++lod;
  }
  return lod;
}

// Level 0 a checker of `cell`-texel squares of colours a and b; level 1 a checker of cell / 2
// squares of colours c and d. Texels are palette indices (format 8-bit) or RGB565 words.
inline TestTexture MakeCheckerTexture(int side, int cell, int format, std::uint16_t a,
                                      std::uint16_t b, std::uint16_t c, std::uint16_t d) {
  TestTexture texture;
  texture.info.largeLod = LodOfSide(side);
  texture.info.smallLod = texture.info.largeLod + 1;
  texture.info.aspectRatio = GR_ASPECT_1x1;
  texture.info.format = format;
  const int bytes = format == GR_TEXFMT_P_8 ? 1 : 2;
  for (int level = 0; level < 2; ++level) {
    const int levelSide = side >> level;
    const int levelCell = cell >> level;
    for (int y = 0; y < levelSide; ++y) {
      for (int x = 0; x < levelSide; ++x) {
        const bool first = ((x / levelCell) + (y / levelCell)) % 2 == 0;
        const std::uint16_t value = level == 0 ? (first ? a : b) : (first ? c : d);
        texture.texels.push_back(static_cast<std::uint8_t>(value));
        if (bytes == 2) {
          texture.texels.push_back(static_cast<std::uint8_t>(value >> 8));
        }
      }
    }
  }
  texture.info.data = texture.texels.data();
  return texture;
}

// Downloads the texture at `start` and makes it the source.
inline void LoadAndSelect(TestTexture& texture, FxU32 start = 0) {
  texture.info.data = texture.texels.data();
  grTexDownloadMipMap(GR_TMU0, start, GR_MIPMAPLEVELMASK_BOTH, &texture.info);
  grTexSource(GR_TMU0, start, GR_MIPMAPLEVELMASK_BOTH, &texture.info);
}
