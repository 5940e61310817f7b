#include "battle/main/render_quality.h"

#include "engine/r3x_core.h"

void ApplyRenderQuality(R3xRenderContext* context, std::int32_t preset) {
  if (context == nullptr) {
    return;
  }
  const auto& methods = kRenderQuality[preset == 1 ? 1 : 0];
  for (std::uint32_t i = 0; i < kQualityEntryCount; ++i) {
    r3xSetIndirectRenderMethod(context, R3X_RENDER_INDIRECT | i, methods[i]);
  }
  r3xSetDynamicLighting(context, 1);
}
