#include <algorithm>

#include "engine/display/render_device_internal.h"
#include "platform/ddraw.h"

namespace {

// One list for the process; the count is -1 until the modes are enumerated.
struct DisplayModeList {
  std::int32_t count = -1;
  R3xDisplayMode modes[R3X_DISPLAY_MODE_LIMIT] = {};
};

DisplayModeList gModes;

constexpr DWORD kEnumLevelModeX =
    DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_NOWINDOWCHANGES | DDSCL_ALLOWMODEX;
constexpr DWORD kEnumLevel = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_NOWINDOWCHANGES;

}  // namespace

HRESULT _r3xEnumModeCallback(DDSURFACEDESC* desc, LPVOID /*context*/) {
  if (gModes.count < R3X_DISPLAY_MODE_LIMIT) {
    gModes.modes[gModes.count++] = {desc->dwWidth, desc->dwHeight,
                                    desc->ddpfPixelFormat.dwRGBBitCount};
  }
  return DDENUMRET_OK;
}

std::int32_t _r3xEnumDisplayModes(R3xRenderDevice* device, std::int32_t* count,
                                  R3xDisplayMode* table) {
  if (gModes.count == -1) {
    IDirectDraw* directDraw = nullptr;
    if (DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK) {
      return R3X_DEVICE_NO_DRIVER;
    }
    gModes.count = 0;
    const DWORD level = device->modeX != 0 ? kEnumLevelModeX : kEnumLevel;
    if (directDraw->SetCooperativeLevel(device->window, level) == DD_OK) {
      directDraw->EnumDisplayModes(0, nullptr, nullptr, _r3xEnumModeCallback);
    }
    directDraw->Release();
  }
  if (count != nullptr && table != nullptr) {
    // Only the modes found are copied: the count never reaches past them.
    const std::int32_t copied = std::clamp(*count, 0, std::max(gModes.count, 0));
    std::copy(gModes.modes, gModes.modes + copied, table);
    *count = copied;
  }
  return 0;
}

void _r3xForgetDisplayModes() { gModes.count = -1; }
