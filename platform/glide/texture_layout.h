// Where a texture's levels lie in texture memory, from its level, aspect and format codes.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/glide/board.h"

namespace platform::glide {

struct TextureCodes {
  int smallLod;
  int largeLod;
  int aspect;
  int format;
};

// The levels from the largest to the smallest, contiguous from offset 0, and the bytes they take
// in total (`size`, not rounded); nothing when a code is not one the board knows.
struct TextureLayout {
  SourceTexture texture;
  std::uint32_t size = 0;
};
std::optional<TextureLayout> LayOutTexture(const TextureCodes& codes);

}  // namespace platform::glide
