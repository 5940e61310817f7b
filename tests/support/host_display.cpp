#include "tests/support/host_display.h"

namespace test_support {

bool OpenHostDisplay(HWND window, IDirectDraw*& directDraw, IDirectDrawSurface*& primarySurface) {
  if (DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK ||
      directDraw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT |
                                                  DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX) != DD_OK ||
      directDraw->SetDisplayMode(640, 480, 8) != DD_OK) {
    return false;
  }
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps =
      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_SYSTEMMEMORY;
  return directDraw->CreateSurface(&desc, &primarySurface, nullptr) == DD_OK;
}

void ReleaseHostDisplay(IDirectDraw*& directDraw, IDirectDrawSurface*& primarySurface) {
  if (primarySurface != nullptr) {
    primarySurface->Release();
    primarySurface = nullptr;
  }
  if (directDraw != nullptr) {
    directDraw->Release();
    directDraw = nullptr;
  }
}

}  // namespace test_support
