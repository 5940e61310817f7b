#include "platform/glide/texture_layout.h"

#include <algorithm>

namespace platform::glide {

std::optional<TextureLayout> LayOutTexture(const TextureCodes& codes) {
  const bool lodsKnown = codes.largeLod >= GR_LOD_256 && codes.smallLod <= GR_LOD_1 &&
                         codes.largeLod <= codes.smallLod;
  const bool aspectKnown = codes.aspect >= GR_ASPECT_8x1 && codes.aspect <= GR_ASPECT_1x8;
  const bool formatKnown = codes.format == GR_TEXFMT_P_8 || codes.format == GR_TEXFMT_RGB_565;
  if (!lodsKnown || !aspectKnown || !formatKnown) {
    return std::nullopt;
  }
  TextureLayout layout;
  SourceTexture& texture = layout.texture;
  texture.levelCount = codes.smallLod - codes.largeLod + 1;
  texture.largestSide = 256 >> codes.largeLod;
  texture.bytesPerTexel = codes.format == GR_TEXFMT_P_8 ? 1 : 2;
  // Aspect 3 is square; below it the width is the larger side, above it the height.
  const int ratioShift =
      codes.aspect < GR_ASPECT_1x1 ? GR_ASPECT_1x1 - codes.aspect : codes.aspect - GR_ASPECT_1x1;
  const int side = texture.largestSide;
  int width = codes.aspect <= GR_ASPECT_1x1 ? side : std::max(1, side >> ratioShift);
  int height = codes.aspect >= GR_ASPECT_1x1 ? side : std::max(1, side >> ratioShift);
  std::uint32_t offset = 0;
  for (int i = 0; i < texture.levelCount; ++i) {
    texture.levels[i] = TextureLevel{offset, width, height};
    offset += static_cast<std::uint32_t>(width * height * texture.bytesPerTexel);
    width = std::max(1, width / 2);
    height = std::max(1, height / 2);
  }
  layout.size = offset;
  return layout;
}

}  // namespace platform::glide
