#include "platform/glide/board.h"

#include "platform/glide/texture_layout.h"

namespace platform::glide {

Board& GetBoard() {
  static Board board;
  return board;
}

std::size_t& TextureMemorySetting() {
  static std::size_t bytes = kDefaultTextureMemory;
  return bytes;
}

GrState DefaultState() {
  GrState state{};
  state.colorWrite = true;
  state.depthWrite = true;
  state.depthMode = GR_DEPTHBUFFER_DISABLE;
  state.depthFunction = GR_CMP_LEQUAL;
  state.fogMode = GR_FOG_DISABLE;
  state.blendSrc = GR_BLEND_ONE;
  state.blendDst = GR_BLEND_ZERO;
  state.blendAlphaSrc = GR_BLEND_ONE;
  state.blendAlphaDst = GR_BLEND_ZERO;
  state.filter = GR_TEXTUREFILTER_BILINEAR;
  state.mipmapMode = GR_MIPMAP_DISABLE;
  state.clipRight = kScreenWidth;
  state.clipBottom = kScreenHeight;
  return state;
}

void ResolveSource(Board& board) {
  GrState& state = board.state;
  if (!state.textureValid) {
    return;
  }
  const auto layout = LayOutTexture(TextureCodes{state.textureSmallLod, state.textureLargeLod,
                                                 state.textureAspect, state.textureFormat});
  const std::uint64_t end = std::uint64_t{state.textureStart} + (layout ? layout->size : 0);
  if (!layout || end > board.textureMemory.size()) {
    state.textureValid = false;
    return;
  }
  board.source = layout->texture;
  for (int i = 0; i < board.source.levelCount; ++i) {
    board.source.levels[i].offset += state.textureStart;
  }
}

}  // namespace platform::glide
