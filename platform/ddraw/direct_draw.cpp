#include "platform/ddraw/direct_draw.h"

#include <mutex>

#include "platform/kernel/allocation_hook.h"
#include "platform/window/window.h"

namespace {

// The one display's mode, as the last SetDisplayMode of any DirectDraw object left it.
std::mutex gModeMutex;
platform::DisplayMode gMode{640, 480, 8};

constexpr DWORD kMaxModeSide = 4096;
constexpr DWORD kMaxBackBuffers = 3;

}  // namespace

ULONG IDirectDraw::AddRef() { return ++references_; }

ULONG IDirectDraw::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
  const DWORD fullScreen = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE;
  const DWORD fullScreenOptions = DDSCL_ALLOWREBOOT | DDSCL_ALLOWMODEX;
  platform::WindowState state;
  const bool valid = flags == DDSCL_NORMAL || ((flags & fullScreen) == fullScreen &&
                                               (flags & ~(fullScreen | fullScreenOptions)) == 0 &&
                                               platform::GetWindowState(window, state));
  if (!valid) {
    return DDERR_INVALIDPARAMS;
  }
  cooperationSet_ = true;
  return DD_OK;
}

HRESULT IDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
  if (width == 0 || height == 0 || width > kMaxModeSide || height > kMaxModeSide ||
      (bitsPerPixel != 8 && bitsPerPixel != 16)) {
    return DDERR_INVALIDMODE;
  }
  std::lock_guard lock(gModeMutex);
  gMode = {static_cast<int>(width), static_cast<int>(height), static_cast<int>(bitsPerPixel)};
  return DD_OK;
}

HRESULT IDirectDraw::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, LPUNKNOWN outer) {
  if (desc == nullptr || out == nullptr || outer != nullptr ||
      desc->dwSize != sizeof(DDSURFACEDESC) || (desc->dwFlags & DDSD_CAPS) == 0) {
    return DDERR_INVALIDPARAMS;
  }
  const DWORD caps = desc->ddsCaps.dwCaps;
  if ((caps & DDSCAPS_PRIMARYSURFACE) == 0 ||
      (caps & (DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER)) != 0) {
    return DDERR_INVALIDCAPS;
  }
  const bool flipping = (caps & DDSCAPS_FLIP) != 0;
  const bool counted = (desc->dwFlags & DDSD_BACKBUFFERCOUNT) != 0;
  if (flipping != ((caps & DDSCAPS_COMPLEX) != 0) || flipping != counted ||
      (flipping && (desc->dwBackBufferCount == 0 || desc->dwBackBufferCount > kMaxBackBuffers))) {
    return DDERR_INVALIDPARAMS;
  }
  if (!cooperationSet_) {
    return DDERR_NOCOOPERATIVELEVELSET;
  }
  if (IDirectDrawSurface::primaryExists_) {
    return DDERR_PRIMARYSURFACEALREADYEXISTS;
  }
  const platform::DisplayMode mode = platform::GetDisplayMode();
  auto* front = new IDirectDrawSurface(mode.width, mode.height, mode.bitsPerPixel,
                                       flipping ? caps | DDSCAPS_FRONTBUFFER : caps);
  IDirectDrawSurface* last = front;
  const DWORD backCaps = caps & ~DDSCAPS_PRIMARYSURFACE;
  for (DWORD i = 0; flipping && i < desc->dwBackBufferCount; ++i) {
    last->attached_ = new IDirectDrawSurface(mode.width, mode.height, mode.bitsPerPixel,
                                             i == 0 ? backCaps | DDSCAPS_BACKBUFFER : backCaps);
    last = last->attached_;
  }
  *out = front;
  return DD_OK;
}

HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** out, LPUNKNOWN outer) {
  if (driver != nullptr || out == nullptr || outer != nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  if (!platform::AllocationAllowed(sizeof(IDirectDraw))) {
    return DDERR_OUTOFMEMORY;
  }
  *out = new IDirectDraw();
  return DD_OK;
}

namespace platform {

DisplayMode GetDisplayMode() {
  std::lock_guard lock(gModeMutex);
  return gMode;
}

void ResetDisplayMode() {
  std::lock_guard lock(gModeMutex);
  gMode = {640, 480, 8};
}

}  // namespace platform
