#include "platform/ddraw/direct_draw_surface.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/backend/display_backend.h"

std::atomic<bool> IDirectDrawSurface::primaryExists_{false};

IDirectDrawSurface::IDirectDrawSurface(int width, int height, int bitsPerPixel, DWORD caps)
    : width_(width),
      height_(height),
      bitsPerPixel_(bitsPerPixel),
      // Rows start on 4-byte boundaries.
      pitch_(static_cast<LONG>((width * (bitsPerPixel / 8) + 3) & ~3)),
      caps_(caps),
      memory_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height)) {
  if ((caps_ & DDSCAPS_PRIMARYSURFACE) != 0) {
    primaryExists_ = true;
  }
}

IDirectDrawSurface::~IDirectDrawSurface() {
  if ((caps_ & DDSCAPS_PRIMARYSURFACE) != 0) {
    primaryExists_ = false;
  }
  if (attached_ != nullptr) {
    attached_->Release();
  }
}

ULONG IDirectDrawSurface::AddRef() { return ++references_; }

ULONG IDirectDrawSurface::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirectDrawSurface::GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** out) {
  if (caps == nullptr || out == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  if (attached_ == nullptr || (attached_->caps_ & caps->dwCaps) != caps->dwCaps) {
    return DDERR_NOTFOUND;
  }
  attached_->AddRef();
  *out = attached_;
  return DD_OK;
}

HRESULT IDirectDrawSurface::Flip(IDirectDrawSurface* target, DWORD /*flags*/) {
  if ((caps_ & DDSCAPS_FRONTBUFFER) == 0 || attached_ == nullptr) {
    return DDERR_NOTFLIPPABLE;
  }
  if (target != nullptr && target != attached_) {
    return DDERR_INVALIDPARAMS;
  }
  if (ChainLocked()) {
    return DDERR_SURFACEBUSY;
  }
  for (IDirectDrawSurface* surface = this; surface->attached_ != nullptr;
       surface = surface->attached_) {
    std::swap(surface->memory_, surface->attached_->memory_);
  }
  if ((caps_ & DDSCAPS_PRIMARYSURFACE) != 0) {
    Show();
  }
  return DD_OK;
}

HRESULT IDirectDrawSurface::Lock(RECT* rect, DDSURFACEDESC* desc, DWORD /*flags*/,
                                 HANDLE /*event*/) {
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) {
    return DDERR_INVALIDPARAMS;
  }
  if (locked_) {
    return DDERR_SURFACEBUSY;
  }
  std::size_t offset = 0;
  if (rect != nullptr) {
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
        rect->right > width_ || rect->bottom > height_) {
      return DDERR_INVALIDRECT;
    }
    offset = static_cast<std::size_t>(rect->top) * static_cast<std::size_t>(pitch_) +
             static_cast<std::size_t>(rect->left) * static_cast<std::size_t>(bitsPerPixel_ / 8);
  }
  locked_ = true;
  desc->dwFlags =
      DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT;
  desc->dwHeight = static_cast<DWORD>(height_);
  desc->dwWidth = static_cast<DWORD>(width_);
  desc->lPitch = pitch_;
  desc->lpSurface = memory_.data() + offset;
  desc->ddpfPixelFormat =
      bitsPerPixel_ == 8
          ? DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0}
          : DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F};
  desc->ddsCaps.dwCaps = caps_;
  return DD_OK;
}

HRESULT IDirectDrawSurface::Unlock(LPVOID /*memory*/) {
  if (!locked_) {
    return DDERR_NOTLOCKED;
  }
  locked_ = false;
  // Writes into the primary are on the screen at once.
  if ((caps_ & DDSCAPS_PRIMARYSURFACE) != 0) {
    Show();
  }
  return DD_OK;
}

bool IDirectDrawSurface::ChainLocked() const {
  for (const IDirectDrawSurface* surface = this; surface != nullptr; surface = surface->attached_) {
    if (surface->locked_) {
      return true;
    }
  }
  return false;
}

void IDirectDrawSurface::Show() const {
  platform::Frame frame;
  frame.width = width_;
  frame.height = height_;
  frame.bitsPerPixel = bitsPerPixel_;
  const std::size_t row =
      static_cast<std::size_t>(width_) * static_cast<std::size_t>(bitsPerPixel_ / 8);
  frame.pixels.resize(row * static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) {
    std::memcpy(frame.pixels.data() + row * static_cast<std::size_t>(y),
                memory_.data() + static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(y),
                row);
  }
  platform::ShowFrame(std::move(frame));
}
