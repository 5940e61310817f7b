#include "platform/ddraw/direct_draw.h"

#include <mutex>

#include "platform/d3d/direct3d.h"
#include "platform/ddraw/direct_draw_faults.h"
#include "platform/kernel/allocation_hook.h"
#include "platform/window/window.h"

namespace {

// The one display's mode, as the last SetDisplayMode of any DirectDraw object left it.
std::mutex gModeMutex;
platform::DisplayMode gMode{640, 480, 8};

constexpr DWORD kMaxModeSide = 4096;
constexpr DWORD kMaxBackBuffers = 3;

// The modes the display offers, smallest first.
constexpr platform::DisplayMode kDisplayModes[] = {
    {320, 200, 8},   {320, 240, 8},   {640, 400, 8},    {640, 480, 8},
    {640, 480, 16},  {800, 600, 8},   {800, 600, 16},   {1024, 768, 8},
    {1024, 768, 16}, {1280, 1024, 8}, {1280, 1024, 16},
};

DDPIXELFORMAT FormatOfDepth(DWORD bitsPerPixel) {
  return bitsPerPixel == 8
             ? DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0}
             : DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F};
}

// An asked pixel format: 8-bit palette-indexed or 16-bit RGB with any masks.
bool Supported(const DDPIXELFORMAT& format) {
  return format.dwSize == sizeof(DDPIXELFORMAT) &&
         ((format.dwRGBBitCount == 8 && (format.dwFlags & DDPF_PALETTEINDEXED8) != 0) ||
          (format.dwRGBBitCount == 16 && format.dwFlags == DDPF_RGB));
}

}  // namespace

HRESULT IDirectDraw::QueryInterface(REFGUID id, void** out) {
  if (out == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  *out = nullptr;
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kQueryInterface, 0);
  if (fault != DD_OK) {
    return fault;
  }
  if (id != IID_IDirect3D) {
    return E_NOINTERFACE;
  }
  if (!platform::AllocationAllowed(sizeof(IDirect3D))) {
    return DDERR_OUTOFMEMORY;
  }
  *out = new IDirect3D(this);
  return DD_OK;
}

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
  const DWORD fullScreenOptions = DDSCL_ALLOWREBOOT | DDSCL_ALLOWMODEX | DDSCL_NOWINDOWCHANGES;
  platform::WindowState state;
  const bool valid = flags == DDSCL_NORMAL || ((flags & fullScreen) == fullScreen &&
                                               (flags & ~(fullScreen | fullScreenOptions)) == 0 &&
                                               platform::GetWindowState(window, state));
  if (!valid) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault =
      platform::DirectDrawFault(platform::DirectDrawCall::kSetCooperativeLevel, 0);
  if (fault != DD_OK) {
    return fault;
  }
  cooperationSet_ = true;
  return DD_OK;
}

HRESULT IDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
  if (width == 0 || height == 0 || width > kMaxModeSide || height > kMaxModeSide ||
      (bitsPerPixel != 8 && bitsPerPixel != 16)) {
    return DDERR_INVALIDMODE;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kSetDisplayMode, 0);
  if (fault != DD_OK) {
    return fault;
  }
  std::lock_guard lock(gModeMutex);
  gMode = {static_cast<int>(width), static_cast<int>(height), static_cast<int>(bitsPerPixel)};
  return DD_OK;
}

HRESULT IDirectDraw::RestoreDisplayMode() {
  platform::ResetDisplayMode();
  return DD_OK;
}

HRESULT IDirectDraw::EnumDisplayModes(DWORD /*flags*/, DDSURFACEDESC* /*filter*/, LPVOID context,
                                      LPDDENUMMODESCALLBACK callback) {
  if (callback == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  for (const platform::DisplayMode& mode : kDisplayModes) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(mode.width);
    desc.dwHeight = static_cast<DWORD>(mode.height);
    desc.lPitch = mode.width * (mode.bitsPerPixel / 8);
    desc.ddpfPixelFormat = FormatOfDepth(static_cast<DWORD>(mode.bitsPerPixel));
    if (callback(&desc, context) == DDENUMRET_CANCEL) {
      break;
    }
  }
  return DD_OK;
}

HRESULT IDirectDraw::GetCaps(DDCAPS* driver, DDCAPS* emulation) {
  for (DDCAPS* caps : {driver, emulation}) {
    if (caps != nullptr && caps->dwSize != sizeof(DDCAPS)) {
      return DDERR_INVALIDPARAMS;
    }
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kGetCaps, 0);
  if (fault != DD_OK) {
    return fault;
  }
  for (DDCAPS* caps : {driver, emulation}) {
    if (caps != nullptr) {
      caps->dwCaps = 0;
    }
  }
  return DD_OK;
}

HRESULT IDirectDraw::CreatePalette(DWORD flags, const PALETTEENTRY* entries,
                                   IDirectDrawPalette** out, LPUNKNOWN outer) {
  if (entries == nullptr || out == nullptr || outer != nullptr || (flags & DDPCAPS_8BIT) == 0) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kCreatePalette, 0);
  if (fault != DD_OK) {
    return fault;
  }
  if (!platform::AllocationAllowed(sizeof(IDirectDrawPalette))) {
    return DDERR_OUTOFMEMORY;
  }
  *out = new IDirectDrawPalette(entries);
  return DD_OK;
}

HRESULT IDirectDraw::CreateClipper(DWORD /*flags*/, IDirectDrawClipper** out, LPUNKNOWN outer) {
  if (out == nullptr || outer != nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  if (!platform::AllocationAllowed(sizeof(IDirectDrawClipper))) {
    return DDERR_OUTOFMEMORY;
  }
  *out = new IDirectDrawClipper();
  return DD_OK;
}

HRESULT IDirectDraw::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, LPUNKNOWN outer) {
  if (desc == nullptr || out == nullptr || outer != nullptr ||
      desc->dwSize != sizeof(DDSURFACEDESC) || (desc->dwFlags & DDSD_CAPS) == 0) {
    return DDERR_INVALIDPARAMS;
  }
  const DWORD caps = desc->ddsCaps.dwCaps;
  const HRESULT fault = platform::DirectDrawFault(platform::DirectDrawCall::kCreateSurface, caps);
  if (fault != DD_OK) {
    return fault;
  }
  if ((caps & DDSCAPS_PRIMARYSURFACE) == 0 &&
      (caps & (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_TEXTURE)) != 0) {
    return CreateOffscreenSurface(*desc, out);
  }
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
  const DDPIXELFORMAT format = FormatOfDepth(static_cast<DWORD>(mode.bitsPerPixel));
  auto* front = new IDirectDrawSurface(mode.width, mode.height, format,
                                       flipping ? caps | DDSCAPS_FRONTBUFFER : caps);
  IDirectDrawSurface* last = front;
  const DWORD backCaps = caps & ~DDSCAPS_PRIMARYSURFACE;
  for (DWORD i = 0; flipping && i < desc->dwBackBufferCount; ++i) {
    last->attached_ = new IDirectDrawSurface(mode.width, mode.height, format,
                                             i == 0 ? backCaps | DDSCAPS_BACKBUFFER : backCaps);
    last = last->attached_;
  }
  *out = front;
  return DD_OK;
}

HRESULT IDirectDraw::CreateOffscreenSurface(const DDSURFACEDESC& desc, IDirectDrawSurface** out) {
  const DWORD sized = DDSD_WIDTH | DDSD_HEIGHT;
  if ((desc.dwFlags & sized) != sized || desc.dwWidth == 0 || desc.dwHeight == 0 ||
      desc.dwWidth > kMaxModeSide || desc.dwHeight > kMaxModeSide ||
      (desc.ddsCaps.dwCaps & (DDSCAPS_FLIP | DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER)) != 0) {
    return DDERR_INVALIDPARAMS;
  }
  const bool formatted = (desc.dwFlags & DDSD_PIXELFORMAT) != 0;
  if (formatted && !Supported(desc.ddpfPixelFormat)) {
    return DDERR_INVALIDPIXELFORMAT;
  }
  if (!cooperationSet_) {
    return DDERR_NOCOOPERATIVELEVELSET;
  }
  const DDPIXELFORMAT format =
      formatted ? desc.ddpfPixelFormat
                : FormatOfDepth(static_cast<DWORD>(platform::GetDisplayMode().bitsPerPixel));
  const std::size_t bytes = std::size_t{desc.dwWidth} * desc.dwHeight * (format.dwRGBBitCount / 8);
  if (!platform::AllocationAllowed(bytes)) {
    return DDERR_OUTOFMEMORY;
  }
  *out = new IDirectDrawSurface(static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight),
                                format, desc.ddsCaps.dwCaps);
  return DD_OK;
}

HRESULT DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context) {
  if (callback == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  char description[] = "Primary Display Driver";
  char name[] = "display";
  callback(nullptr, description, name, context);
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
