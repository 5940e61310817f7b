// The statistics overlay: a 150 x 60 panel redrawn every sixth present, its rate measured over
// windows of about 50 presents.
#include "engine/display/statistics_overlay.h"

#include <cstdint>

#include "engine/display/glide_context.h"
#include "engine/display/glide_image.h"
#include "engine/display/glide_image_internal.h"
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
  // Waiting for the GDI text output: the lines "fps: %3.2f  %dx%d" (frames in window x 1000 /
  // the milliseconds since the window start, 640, 480) at (0, 0), "polys: %lu" at (0, 20) and
  // "rgns: %lu" at (0, 40) (each only when its count is not 0), in red 0, green 200, blue 100
  // on a transparent background, clipped to the overlay.
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
    _r3xGlideBlitToFrame(context, 16, kOverlayWidth, kOverlayHeight, context->overlayPixels, 0, 0,
                         &area);
  }
}
