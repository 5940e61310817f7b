#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/glide/pixel_pipeline.h"

namespace platform::glide {
namespace {

std::uint32_t Factor(int code, int alpha) {
  switch (code) {
    case GR_BLEND_SRC_ALPHA:
      return Weight(alpha);
    case GR_BLEND_ONE:
      return 256;
    case GR_BLEND_ONE_MINUS_SRC_ALPHA:
      return 256 - Weight(alpha);
    default:
      return 0;
  }
}

}  // namespace

std::uint32_t Blend(const DrawSetup& setup, std::uint32_t source, int alpha,
                    std::uint32_t destination) {
  const std::uint32_t fs = Factor(setup.blendSrc, alpha);
  const std::uint32_t fd = Factor(setup.blendDst, alpha);
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t s = (source >> shift) & 0xFF;
    const std::uint32_t d = (destination >> shift) & 0xFF;
    const std::uint32_t mixed = (s * fs + d * fd) >> 8;
    out |= std::min<std::uint32_t>(mixed, 255) << shift;
  }
  return out;
}

bool PrepareDraw(Board& board, DrawSetup& setup) {
  if (!board.open) {
    return false;
  }
  const GrState& state = board.state;
  setup.colour = board.Back();
  setup.depth = board.depth.data();
  setup.clipLeft = std::clamp(state.clipLeft, 0, kScreenWidth);
  setup.clipTop = std::clamp(state.clipTop, 0, kScreenHeight);
  setup.clipRight = std::clamp(state.clipRight, setup.clipLeft, kScreenWidth);
  setup.clipBottom = std::clamp(state.clipBottom, setup.clipTop, kScreenHeight);
  setup.colourWrite = state.colorWrite;
  setup.depthOn = state.depthMode == GR_DEPTHBUFFER_WBUFFER;
  setup.depthTest = setup.depthOn && state.depthFunction == GR_CMP_LEQUAL;
  setup.depthWrite = setup.depthOn && state.depthWrite;
  setup.depthBias = state.depthBias;
  setup.colourSource = static_cast<ColourSource>(state.colorCombine);
  setup.alphaIterated = state.alphaCombine == static_cast<int>(ColourSource::kIterated);
  setup.textured = setup.colourSource != ColourSource::kIterated;
  setup.bilinear = state.filter == GR_TEXTUREFILTER_BILINEAR;
  setup.mipmap = state.mipmapMode == GR_MIPMAP_NEAREST;
  // The key names a colour of a texture or an image: untextured polygons are never keyed.
  setup.chromakey = state.chromakey && setup.textured;
  setup.chromakeyValue = state.chromakeyValue & 0xFFFFFF;
  setup.fog = state.fogMode == GR_FOG_WITH_TABLE;
  if (setup.fog) {
    FogWeights& fog = board.fogWeights;
    if (!fog.made || std::memcmp(fog.table, state.fogTable, sizeof fog.table) != 0) {
      std::memcpy(fog.table, state.fogTable, sizeof fog.table);
      std::transform(fog.table, fog.table + GR_FOG_TABLE_SIZE, fog.weights, Weight);
      fog.made = true;
    }
    setup.fogWeights = fog.weights;
  }
  setup.fogColour = state.fogColor & 0xFFFFFF;
  setup.blendSrc = state.blendSrc;
  setup.blendDst = state.blendDst;
  setup.blendReplace = state.blendSrc == GR_BLEND_ONE && state.blendDst == GR_BLEND_ZERO;
  setup.texture = board.source;
  const float texelsPerUnit = static_cast<float>(setup.texture.largestSide) / 256.0f;
  setup.stepScale = texelsPerUnit * texelsPerUnit * std::exp2(2.0f * state.lodBias);
  for (int level = 0; level < 9; ++level) {
    setup.levelScale[level] = static_cast<float>(setup.texture.largestSide >> level) / 256.0f;
  }
  if (setup.textured && state.textureValid) {
    const DecodedTexture& decoded = DecodedSource(board);
    setup.texels = decoded.texels.data();
    for (int i = 0; i < setup.texture.levelCount; ++i) {
      const TextureLevel& level = setup.texture.levels[i];
      setup.levels.offset[i] = static_cast<std::int32_t>(decoded.levelOffset[i]);
      setup.levels.widthShift[i] = std::countr_zero(static_cast<unsigned>(level.width));
      setup.levels.widthMask[i] = level.width - 1;
      setup.levels.heightMask[i] = level.height - 1;
    }
  }
  // A texture source that is not set or does not fit in texture memory draws nothing.
  return !setup.textured || state.textureValid;
}

}  // namespace platform::glide
