// The render device's statistics overlay: a 150 x 60 surface whose text is redrawn every sixth
// present, its rate measured over windows of 51 presents.
#include <cstdint>

#include "engine/display/overlay_text_internal.h"
#include "engine/display/render_device_internal.h"
#include "platform/ddraw.h"
#include "platform/kernel/clock.h"

namespace {

// 149 x 59 pixels of the 150 x 60 surface.
constexpr RECT kOverlayArea{0, 0, 149, 59};
constexpr std::uint32_t kPresentsPerRedraw = 5;
constexpr std::uint32_t kPresentsPerWindow = 50;

// One set for the whole process.
struct DeviceOverlayCounters {
  std::uint32_t framesInWindow;
  std::uint32_t presentsSinceRedraw;
  std::uint32_t windowCount;
  std::int32_t windowStart;
  std::int32_t elapsed;
};
DeviceOverlayCounters gDeviceOverlay;

// Fills the surface with the colour key and writes the text; false when the surface gives no
// device context or does not take it back.
bool Redraw(R3xRenderDevice* device) {
  IDirectDrawSurface* overlay = device->overlay;
  DDBLTFX fill{};
  fill.dwSize = sizeof(fill);
  fill.dwFillColor = device->colourKey;
  _r3xRetryIfLost(
      [&] { return overlay->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill); },
      [&] { overlay->Restore(); });
  gDeviceOverlay.presentsSinceRedraw = 0;
  if (gDeviceOverlay.windowStart == 0) {
    gDeviceOverlay.windowStart = platform::CrtClock();
  }
  HDC dc = nullptr;
  if (_r3xRetryIfLost([&] { return overlay->GetDC(&dc); }, [&] { overlay->Restore(); }) != DD_OK) {
    return false;
  }
  gDeviceOverlay.elapsed = platform::CrtClock() - gDeviceOverlay.windowStart;
  if (gDeviceOverlay.elapsed == 0) {
    gDeviceOverlay.elapsed = 1;
  }
  const double framesPerSecond = gDeviceOverlay.framesInWindow * 1000.0 / gDeviceOverlay.elapsed;
  _r3xWriteOverlayText(dc, kOverlayArea, framesPerSecond, static_cast<std::int32_t>(device->width),
                       static_cast<std::int32_t>(device->height), device->polygonCount,
                       device->regionCount);
  return overlay->ReleaseDC(dc) == DD_OK;
}

}  // namespace

void _r3xDrawDeviceOverlay(R3xRenderDevice* device) {
  ++gDeviceOverlay.framesInWindow;
  if (gDeviceOverlay.presentsSinceRedraw >= kPresentsPerRedraw || gDeviceOverlay.windowCount == 0) {
    if (!Redraw(device)) {
      return;
    }
  } else {
    ++gDeviceOverlay.presentsSinceRedraw;
  }
  if (gDeviceOverlay.windowCount++ > kPresentsPerWindow) {
    gDeviceOverlay.windowCount = 1;
    gDeviceOverlay.windowStart = platform::CrtClock();
    gDeviceOverlay.framesInWindow = 0;
  }
  RECT area = kOverlayArea;
  _r3xRetryIfLost(
      [&] {
        return device->back->BltFast(0, 0, device->overlay, &area,
                                     DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
      },
      [&] {
        device->back->Restore();
        device->overlay->Restore();
      });
}
