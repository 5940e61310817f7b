// The Glide context: opening and closing the board and linking it to a render context.
#include "engine/display/glide_context.h"

#include <cstdint>

#include "engine/core/memory.h"
#include "engine/core/palette.h"
#include "engine/core/render_context.h"
#include "engine/display/glide_colour.h"
#include "platform/window/window.h"

std::int32_t r3xGlideInit(R3xGlideContext** out) {
  grGlideInit();
  GrHwConfiguration hardware{};
  if (grSstQueryHardware(&hardware) == 0) {
    grGlideShutdown();
    return R3X_ERR_FAILED;
  }
  grSstSelect(0);
  grSstWinOpen(GetActiveWindow(), GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
               GR_ORIGIN_UPPER_LEFT, 2, 1);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
  grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
  grChromakeyMode(0);
  grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
  grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED,
                 GR_COMBINE_OTHER_CONSTANT, FXFALSE);
  const FxU8 noFog[GR_FOG_TABLE_SIZE] = {};
  grFogTable(noFog);
  // r3xMalloc clears the block: that is the empty state.
  auto* context = static_cast<R3xGlideContext*>(r3xMalloc(sizeof(R3xGlideContext)));
  *out = context;
  if (context == nullptr) {
    grGlideShutdown();
    return R3X_ERR_FAILED;
  }
  return 0;
}

std::int32_t r3xGlideAttach(R3xGlideContext* context, R3xRenderContext* renderContext,
                            const R3xPalette* palette) {
  if (renderContext == nullptr) {
    return R3X_ERR_FAILED;
  }
  renderContext->glideFlag = 1;
  if (palette != nullptr) {
    renderContext->paletteColours = palette->entries;
    FxU32 table[R3X_PALETTE_ENTRIES];
    for (int i = 0; i < R3X_PALETTE_ENTRIES; ++i) {
      table[i] = _r3xGlideColour(palette->entries[i]);
    }
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, table);
    grChromakeyValue(_r3xGlideColour(palette->entries[renderContext->transparentIndex]));
  }
  grDepthBiasLevel(0);
  context->transparentIndex = renderContext->transparentIndex;
  renderContext->glide = context;
  if (palette == nullptr) {
    return R3X_ERR_FAILED;
  }
  context->palette = palette;
  return 0;
}

void r3xGlideShutdown(R3xGlideContext* context) {
  grGlideShutdown();
  r3xFree(context);
}
