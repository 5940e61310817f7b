#include "platform/glide/texel_cache.h"

#include "platform/glide/board.h"
#include "platform/glide/pixel_pipeline.h"

namespace platform::glide {
namespace {

// More decoded texels than this (64 MB) and the cache starts again from empty.
constexpr std::size_t kMostTexels = std::size_t{16} << 20;

std::uint64_t KeyOf(const GrState& state) {
  return std::uint64_t{state.textureStart} << 32 |
         static_cast<std::uint64_t>(state.textureSmallLod & 0xFF) << 24 |
         static_cast<std::uint64_t>(state.textureLargeLod & 0xFF) << 16 |
         static_cast<std::uint64_t>(state.textureAspect & 0xFF) << 8 |
         static_cast<std::uint64_t>(state.textureFormat & 0xFF);
}

DecodedTexture Decode(const Board& board) {
  const SourceTexture& source = board.source;
  DecodedTexture decoded{};
  std::size_t total = 0;
  for (int i = 0; i < source.levelCount; ++i) {
    decoded.levelOffset[i] = static_cast<std::uint32_t>(total);
    total += static_cast<std::size_t>(source.levels[i].width + 1) * (source.levels[i].height + 1);
  }
  decoded.texels.resize(total);
  const std::uint8_t* memory = board.textureMemory.data();
  for (int i = 0; i < source.levelCount; ++i) {
    const TextureLevel& level = source.levels[i];
    const int stride = level.width + 1;
    std::uint32_t* out = decoded.texels.data() + decoded.levelOffset[i];
    for (int y = 0; y <= level.height; ++y) {
      const int row = y < level.height ? y : 0;
      for (int x = 0; x <= level.width; ++x) {
        const std::uint8_t* texel =
            memory + level.offset +
            (static_cast<std::size_t>(row) * level.width + (x < level.width ? x : 0)) *
                source.bytesPerTexel;
        out[static_cast<std::size_t>(y) * stride + x] =
            source.bytesPerTexel == 1
                ? board.palette[texel[0]] & 0xFFFFFF
                : arena::Widen565(static_cast<std::uint16_t>(texel[0] | texel[1] << 8));
      }
    }
  }
  const TextureLevel& last = source.levels[source.levelCount - 1];
  decoded.start = board.state.textureStart;
  decoded.end =
      last.offset + static_cast<std::uint32_t>(last.width * last.height * source.bytesPerTexel);
  return decoded;
}

}  // namespace

const DecodedTexture& DecodedSource(Board& board) {
  TexelCache& cache = board.texels;
  const std::uint64_t key = KeyOf(board.state);
  if (cache.last != nullptr && cache.lastKey == key) {
    return *cache.last;
  }
  auto found = cache.textures.find(key);
  if (found == cache.textures.end()) {
    DecodedTexture decoded = Decode(board);
    if (cache.texelCount + decoded.texels.size() > kMostTexels) {
      ForgetAllTexels(cache);
    }
    cache.texelCount += decoded.texels.size();
    found = cache.textures.emplace(key, std::move(decoded)).first;
  }
  cache.last = &found->second;
  cache.lastKey = key;
  return found->second;
}

void ForgetTexels(TexelCache& cache, std::uint64_t start, std::uint64_t end) {
  for (auto it = cache.textures.begin(); it != cache.textures.end();) {
    if (it->second.start < end && start < it->second.end) {
      cache.texelCount -= it->second.texels.size();
      it = cache.textures.erase(it);
    } else {
      ++it;
    }
  }
  cache.last = nullptr;
}

void ForgetAllTexels(TexelCache& cache) {
  cache.textures.clear();
  cache.texelCount = 0;
  cache.last = nullptr;
}

}  // namespace platform::glide
