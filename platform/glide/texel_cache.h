// Textures decoded for sampling: each texel of a resident texture as 0x00RRGGBB, kept until a
// download, a new texture palette or a new board changes what it was decoded from. Each level's
// rows end with a copy of their first texel and a copy of the first row follows the last, so a
// bilinear sample reads its four texels as two neighbouring pairs without wrapping.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace platform::glide {

struct Board;

struct DecodedTexture {
  // The texture memory bytes it was decoded from: [start, end).
  std::uint32_t start;
  std::uint32_t end;
  std::vector<std::uint32_t> texels;
  // Where each level begins in `texels`; a level holds (height + 1) rows of width + 1.
  std::uint32_t levelOffset[9];
};

struct TexelCache {
  // By texture start address and level, aspect and format codes.
  std::unordered_map<std::uint64_t, DecodedTexture> textures;
  std::size_t texelCount = 0;
  // The last texture looked up, or null.
  const DecodedTexture* last = nullptr;
  std::uint64_t lastKey = 0;
};

// The board's source texture decoded (done now when it is not cached). The source must be valid.
const DecodedTexture& DecodedSource(Board& board);
// Drops the textures decoded from any of the texture memory bytes [start, end).
void ForgetTexels(TexelCache& cache, std::uint64_t start, std::uint64_t end);
void ForgetAllTexels(TexelCache& cache);

}  // namespace platform::glide
