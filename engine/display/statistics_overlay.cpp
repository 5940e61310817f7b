// The statistics overlay: a 150 x 60 panel redrawn every sixth present, its rate measured over
// windows of about 50 presents.
#include "engine/display/statistics_overlay.h"

#include <cstddef>
#include <cstdint>

#include "engine/core/bitmap.h"
#include "engine/display/glide_context.h"
#include "engine/display/glide_image.h"
#include "engine/display/glide_image_internal.h"
#include "engine/display/overlay_text_internal.h"
#include "platform/kernel/clock.h"

namespace {

constexpr std::int32_t kOverlayWidth = 150;
constexpr std::int32_t kOverlayHeight = 60;
constexpr std::uint32_t kPresentsPerRedraw = 5;
constexpr std::uint32_t kPresentsPerWindow = 50;

// One set for the whole process.
struct OverlayCounters {
  std::uint32_t framesInWindow;
  std::uint32_t presentsSinceRedraw;
  std::uint32_t windowCounter;
  std::int32_t windowStart;
};
OverlayCounters gOverlay;

void Redraw(R3xGlideContext* context, const RECT& area) {
  gOverlay.presentsSinceRedraw = 0;
  if (gOverlay.windowStart == 0) {
    gOverlay.windowStart = platform::CrtClock();
  }
  if (context->overlayDrawingContext == nullptr || context->overlayPixels == nullptr) {
    return;
  }
  r3xFill16(context, context->overlayPixels, kOverlayWidth, kOverlayHeight, &area);
  std::int32_t elapsed = platform::CrtClock() - gOverlay.windowStart;
  if (elapsed == 0) {
    elapsed = 1;
  }
  const double framesPerSecond = gOverlay.framesInWindow * 1000.0 / elapsed;
  _r3xWriteOverlayText(context->overlayDrawingContext, area, framesPerSecond,
                       R3X_GLIDE_SCREEN_WIDTH, R3X_GLIDE_SCREEN_HEIGHT,
                       context->overlayPolygonCount, context->overlayRegionCount);
}

}  // namespace

void _r3xDrawStatisticsOverlay(R3xGlideContext* context) {
  const RECT area{0, 0, kOverlayWidth - 1, kOverlayHeight - 1};
  ++gOverlay.framesInWindow;
  if (gOverlay.presentsSinceRedraw++ >= kPresentsPerRedraw || gOverlay.windowCounter == 0) {
    Redraw(context, area);
  }
  if (gOverlay.windowCounter++ > kPresentsPerWindow) {
    gOverlay.windowCounter = 1;
    gOverlay.windowStart = platform::CrtClock();
    gOverlay.framesInWindow = 0;
  }
  if (context->overlayPixels != nullptr) {
    // The pixels drawn as a 16-bit bitmap: keyed by the transparent colour the fill left.
    R3xBitmap panel{};
    panel.pixels = reinterpret_cast<std::uint8_t*>(context->overlayPixels);
    panel.pixelBytes = std::size_t{kOverlayWidth} * kOverlayHeight * 2;
    panel.width = kOverlayWidth;
    panel.height = kOverlayHeight;
    panel.bitCount = 16;
    _r3xGlideDrawBitmap(context, &panel, 1, 0, 0, &area, 0);
  }
}
