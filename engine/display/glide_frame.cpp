// Clearing, fog, depth state and present on the Glide back end.
#include "engine/display/glide_frame.h"

#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/display/glide_colour.h"
#include "engine/display/glide_context.h"
#include "engine/display/glide_frame_internal.h"
#include "engine/display/statistics_overlay.h"
#include "platform/glide.h"

namespace {

constexpr FxU16 kFarthestDepth = 0xFFFF;
// At most this many swaps may be pending when the next one is issued.
constexpr int kMaxPendingSwaps = 2;

// The fog ramp: slow over the first 50 steps, then faster towards the far end.
struct FogRamp {
  std::uint8_t values[GR_FOG_TABLE_SIZE];
  constexpr FogRamp() : values() {
    int value = 0;
    for (int i = 1; i < GR_FOG_TABLE_SIZE; ++i) {
      value += i <= 49 ? 2 : i <= 59 ? 7 : 22;
      values[i] = static_cast<std::uint8_t>(i == GR_FOG_TABLE_SIZE - 1 ? 255 : value);
    }
  }
};
constexpr FogRamp kFogRamp;
static_assert(kFogRamp.values[49] == 98 && kFogRamp.values[59] == 168 &&
              kFogRamp.values[62] == 234 && kFogRamp.values[63] == 255);

}  // namespace

std::int32_t r3xGlideClear(R3xGlideContext* /*context*/, std::int32_t clearColour,
                           std::int32_t clearDepth, std::uint8_t red, std::uint8_t green,
                           std::uint8_t blue) {
  const GrColor colour = _r3xGlideRgb(red, green, blue);
  if (clearDepth != 0) {
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthMask(FXTRUE);
    if (clearColour != 0) {
      grBufferClear(colour, 0, kFarthestDepth);
    } else {
      grColorMask(FXFALSE, FXFALSE);
      grBufferClear(0, 0, kFarthestDepth);
      grColorMask(FXTRUE, FXFALSE);
    }
  } else if (clearColour != 0) {
    grDepthMask(FXFALSE);
    grBufferClear(colour, 0, kFarthestDepth);
  }
  return 0;
}

std::int32_t r3xGlidePresent(R3xGlideContext* context, std::int32_t swapInterval) {
  while (grBufferNumPending() > kMaxPendingSwaps) {
  }
  if (context != nullptr && context->overlaySwitch != 0) {
    _r3xDrawStatisticsOverlay(context);
  }
  grBufferSwap(swapInterval);
  return 0;
}

std::int32_t r3xGlideSetFog(R3xGlideContext* /*context*/, std::int32_t on, std::int32_t level,
                            std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  if (on == 0 || level == 0) {
    grFogMode(GR_FOG_DISABLE);
    return 0;
  }
  grFogColorValue(_r3xGlideRgb(red, green, blue));
  FxU8 table[GR_FOG_TABLE_SIZE];
  // Exact small integers: the product truncates to the floor of ramp x level / 256.
  for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i) {
    const double scaled = static_cast<double>(kFogRamp.values[i]) * level * 0.00390625;
    table[i] = static_cast<FxU8>(static_cast<std::int64_t>(scaled) & 0xFF);
  }
  grFogTable(table);
  grFogMode(GR_FOG_WITH_TABLE);
  return 0;
}

std::int32_t _r3xGlideSetDepthState(const R3xRenderContext* renderContext) {
  if (renderContext->depthBuffering != 0) {
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthMask(FXTRUE);
    grDepthBufferFunction(GR_CMP_LEQUAL);
  } else {
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grDepthMask(FXFALSE);
  }
  if (renderContext->mipSwitch != 0) {
    grTexLodBiasValue(GR_TMU0, 1.0f - renderContext->mipDistanceFactor);
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST, FXFALSE);
  } else {
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_DISABLE, FXFALSE);
  }
  return 0;
}

std::int32_t _r3xGlideEndWorld(const R3xRenderContext* /*renderContext*/) { return 0; }
