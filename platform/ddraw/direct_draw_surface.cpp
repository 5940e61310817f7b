#include "platform/ddraw/direct_draw_surface.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "platform/backend/display_backend.h"
#include "platform/d3d/direct3d_device.h"
#include "platform/d3d/direct3d_texture.h"
#include "platform/ddraw/direct_draw_clipper.h"
#include "platform/ddraw/direct_draw_faults.h"
#include "platform/ddraw/direct_draw_palette.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/pixels_dc.h"
#include "platform/gdi/system_palette.h"
#include "platform/kernel/allocation_hook.h"

std::atomic<bool> IDirectDrawSurface::primaryExists_{false};

namespace {

std::atomic<std::size_t> gLiveSurfaces{0};

using platform::DirectDrawCall;

bool Inside(const RECT& rect, int width, int height) {
  return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
         rect.right <= width && rect.bottom <= height;
}

// Replaces a held reference with another (either may be null).
template <typename T>
void Hold(T*& held, T* next) {
  if (next != nullptr) {
    next->AddRef();
  }
  if (held != nullptr) {
    held->Release();
  }
  held = next;
}

// The palette index nearest to the colour; the lowest index among equals.
std::uint32_t NearestEntry(const std::array<PALETTEENTRY, 256>& entries, COLORREF colour) {
  const int red = static_cast<int>(colour & 0xFF);
  const int green = static_cast<int>(colour >> 8 & 0xFF);
  const int blue = static_cast<int>(colour >> 16 & 0xFF);
  std::uint32_t best = 0;
  int bestDistance = 3 * 255 * 255 + 1;
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    const int dr = entries[i].peRed - red;
    const int dg = entries[i].peGreen - green;
    const int db = entries[i].peBlue - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

// An 8-bit colour component placed in a mask's bits (its high bits kept).
std::uint32_t IntoMask(std::uint32_t component, DWORD mask) {
  if (mask == 0) {
    return 0;
  }
  const int shift = std::countr_zero(mask);
  const int width = std::popcount(mask);
  const std::uint32_t value = width >= 8 ? component << (width - 8) : component >> (8 - width);
  return value << shift & mask;
}

}  // namespace

IDirectDrawSurface::IDirectDrawSurface(int width, int height, const DDPIXELFORMAT& format,
                                       DWORD caps)
    : width_(width),
      height_(height),
      format_(format),
      // Rows start on 4-byte boundaries.
      pitch_(static_cast<LONG>((width * static_cast<int>(format.dwRGBBitCount / 8) + 3) & ~3)),
      caps_(caps),
      memory_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height)) {
  if ((caps_ & DDSCAPS_PRIMARYSURFACE) != 0) {
    primaryExists_ = true;
  }
  ++gLiveSurfaces;
}

IDirectDrawSurface::~IDirectDrawSurface() {
  if (dc_ != nullptr) {
    DeleteDC(dc_);
  }
  if ((caps_ & DDSCAPS_PRIMARYSURFACE) != 0) {
    primaryExists_ = false;
  }
  Hold(palette_, static_cast<IDirectDrawPalette*>(nullptr));
  Hold(clipper_, static_cast<IDirectDrawClipper*>(nullptr));
  if (attached_ != nullptr) {
    attached_->Release();
  }
  --gLiveSurfaces;
}

HRESULT IDirectDrawSurface::QueryInterface(REFGUID id, void** out) {
  if (out == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  *out = nullptr;
  const HRESULT fault = platform::DirectDrawFault(DirectDrawCall::kQueryInterface, caps_);
  if (fault != DD_OK) {
    return fault;
  }
  if (id == IID_IDirect3DTexture && (caps_ & DDSCAPS_TEXTURE) != 0) {
    if (!platform::AllocationAllowed(sizeof(IDirect3DTexture))) {
      return DDERR_OUTOFMEMORY;
    }
    *out = new IDirect3DTexture(this);
    return DD_OK;
  }
  if ((id == IID_IDirect3DRampDevice || id == IID_IDirect3DRGBDevice) &&
      (caps_ & DDSCAPS_3DDEVICE) != 0) {
    // A palette-indexed target is drawn through its palette.
    if (BytesPerPixel() == 1 && palette_ == nullptr) {
      return DDERR_NOPALETTEATTACHED;
    }
    if (!platform::AllocationAllowed(sizeof(IDirect3DDevice))) {
      return DDERR_OUTOFMEMORY;
    }
    *out = new IDirect3DDevice(this);
    return DD_OK;
  }
  return E_NOINTERFACE;
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
  const HRESULT fault = platform::DirectDrawFault(DirectDrawCall::kGetAttachedSurface, caps_);
  if (fault != DD_OK) {
    return fault;
  }
  if (attached_ == nullptr || (attached_->caps_ & caps->dwCaps) != caps->dwCaps) {
    return DDERR_NOTFOUND;
  }
  attached_->AddRef();
  *out = attached_;
  return DD_OK;
}

HRESULT IDirectDrawSurface::Flip(IDirectDrawSurface* target, DWORD /*flags*/) {
  const HRESULT fault = platform::DirectDrawFault(DirectDrawCall::kFlip, caps_);
  if (fault != DD_OK) {
    return fault;
  }
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
  ShowIfPrimary();
  return DD_OK;
}

HRESULT IDirectDrawSurface::Lock(RECT* rect, DDSURFACEDESC* desc, DWORD /*flags*/,
                                 HANDLE /*event*/) {
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(DirectDrawCall::kLock, caps_);
  if (fault != DD_OK) {
    return fault;
  }
  if (locked_) {
    return DDERR_SURFACEBUSY;
  }
  if (rect != nullptr && !Inside(*rect, width_, height_)) {
    return DDERR_INVALIDRECT;
  }
  locked_ = true;
  Describe(*desc);
  desc->dwFlags |= DDSD_LPSURFACE;
  desc->lpSurface = rect != nullptr ? PixelAt(rect->left, rect->top) : memory_.data();
  return DD_OK;
}

HRESULT IDirectDrawSurface::Unlock(LPVOID /*memory*/) {
  // A DC's lock ends with ReleaseDC.
  if (!locked_ || dc_ != nullptr) {
    return DDERR_NOTLOCKED;
  }
  locked_ = false;
  // Writes into the primary are on the screen at once.
  ShowIfPrimary();
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetSurfaceDesc(DDSURFACEDESC* desc) {
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) {
    return DDERR_INVALIDPARAMS;
  }
  Describe(*desc);
  return DD_OK;
}

HRESULT IDirectDrawSurface::Blt(RECT* destination, IDirectDrawSurface* source, RECT* sourceRect,
                                DWORD flags, DDBLTFX* effects) {
  const HRESULT fault = platform::DirectDrawFault(DirectDrawCall::kBlt, caps_);
  if (fault != DD_OK) {
    return fault;
  }
  const RECT whole{0, 0, width_, height_};
  const RECT to = destination != nullptr ? *destination : whole;
  // With a clipper the destination may reach past the surface; what lies outside is cut off.
  RECT cut = to;
  if (clipper_ != nullptr) {
    cut = {std::max(to.left, LONG{0}), std::max(to.top, LONG{0}), std::min(to.right, LONG{width_}),
           std::min(to.bottom, LONG{height_})};
    if (cut.left >= cut.right || cut.top >= cut.bottom) {
      return DD_OK;
    }
  }
  if (!Inside(cut, width_, height_)) {
    return DDERR_INVALIDRECT;
  }
  if ((flags & DDBLT_COLORFILL) != 0) {
    if (effects == nullptr || effects->dwSize != sizeof(DDBLTFX)) {
      return DDERR_INVALIDPARAMS;
    }
    if (locked_) {
      return DDERR_SURFACEBUSY;
    }
    BYTE value[2];
    value[0] = static_cast<BYTE>(effects->dwFillColor);
    value[1] = static_cast<BYTE>(effects->dwFillColor >> 8);
    for (LONG y = cut.top; y < cut.bottom; ++y) {
      for (LONG x = cut.left; x < cut.right; ++x) {
        std::memcpy(PixelAt(x, y), value, BytesPerPixel());
      }
    }
    ShowIfPrimary();
    return DD_OK;
  }
  if (source == nullptr || source->format_.dwRGBBitCount != format_.dwRGBBitCount) {
    return DDERR_INVALIDPARAMS;
  }
  const RECT from =
      sourceRect != nullptr ? *sourceRect : RECT{0, 0, source->width_, source->height_};
  if (!Inside(from, source->width_, source->height_)) {
    return DDERR_INVALIDRECT;
  }
  if (locked_ || source->locked_) {
    return DDERR_SURFACEBUSY;
  }
  // Nearest source pixel of each destination pixel, measured in the uncut destination. A copy
  // of the source rows first, in case source and destination are one surface.
  const std::vector<BYTE> pixels = source->memory_;
  const LONG toWidth = to.right - to.left;
  const LONG toHeight = to.bottom - to.top;
  const LONG fromWidth = from.right - from.left;
  const LONG fromHeight = from.bottom - from.top;
  for (LONG y = cut.top; y < cut.bottom; ++y) {
    const LONG sy = from.top + (y - to.top) * fromHeight / toHeight;
    for (LONG x = cut.left; x < cut.right; ++x) {
      const LONG sx = from.left + (x - to.left) * fromWidth / toWidth;
      std::memcpy(PixelAt(x, y),
                  pixels.data() +
                      static_cast<std::size_t>(sy) * static_cast<std::size_t>(source->pitch_) +
                      static_cast<std::size_t>(sx) * BytesPerPixel(),
                  BytesPerPixel());
    }
  }
  ShowIfPrimary();
  return DD_OK;
}

HRESULT IDirectDrawSurface::BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, RECT* sourceRect,
                                    DWORD flags) {
  const HRESULT fault = platform::DirectDrawFault(DirectDrawCall::kBltFast, caps_);
  if (fault != DD_OK) {
    return fault;
  }
  if (source == nullptr || source->format_.dwRGBBitCount != format_.dwRGBBitCount) {
    return DDERR_INVALIDPARAMS;
  }
  const RECT from =
      sourceRect != nullptr ? *sourceRect : RECT{0, 0, source->width_, source->height_};
  if (!Inside(from, source->width_, source->height_) || x > static_cast<DWORD>(width_) ||
      y > static_cast<DWORD>(height_)) {
    return DDERR_INVALIDRECT;
  }
  const LONG left = static_cast<LONG>(x);
  const LONG top = static_cast<LONG>(y);
  const RECT to{left, top, left + from.right - from.left, top + from.bottom - from.top};
  if (!Inside(to, width_, height_)) {
    return DDERR_INVALIDRECT;
  }
  const bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) != 0;
  if (keyed && !source->keyed_) {
    return DDERR_NOCOLORKEY;
  }
  if (locked_ || source->locked_) {
    return DDERR_SURFACEBUSY;
  }
  const std::vector<BYTE> pixels = source->memory_;
  const std::size_t size = BytesPerPixel();
  for (LONG row = 0; row < to.bottom - to.top; ++row) {
    for (LONG column = 0; column < to.right - to.left; ++column) {
      const BYTE* from1 =
          pixels.data() +
          static_cast<std::size_t>(from.top + row) * static_cast<std::size_t>(source->pitch_) +
          static_cast<std::size_t>(from.left + column) * size;
      const DWORD value = size == 1 ? from1[0] : static_cast<DWORD>(from1[0] | from1[1] << 8);
      if (keyed && value == source->colorKey_) {
        continue;
      }
      std::memcpy(PixelAt(to.left + column, to.top + row), from1, size);
    }
  }
  ShowIfPrimary();
  return DD_OK;
}

HRESULT IDirectDrawSurface::SetColorKey(DWORD flags, DDCOLORKEY* key) {
  if (flags != DDCKEY_SRCBLT) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(DirectDrawCall::kSetColorKey, caps_);
  if (fault != DD_OK) {
    return fault;
  }
  keyed_ = key != nullptr;
  colorKey_ = key != nullptr ? key->dwColorSpaceLowValue : 0;
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetColorKey(DWORD flags, DDCOLORKEY* key) {
  if (flags != DDCKEY_SRCBLT || key == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  if (!keyed_) {
    return DDERR_NOCOLORKEY;
  }
  *key = {colorKey_, colorKey_};
  return DD_OK;
}

HRESULT IDirectDrawSurface::SetPalette(IDirectDrawPalette* palette) {
  if (format_.dwRGBBitCount != 8) {
    return DDERR_INVALIDPIXELFORMAT;
  }
  const HRESULT fault = platform::DirectDrawFault(DirectDrawCall::kSetPalette, caps_);
  if (fault != DD_OK) {
    return fault;
  }
  Hold(palette_, palette);
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetPalette(IDirectDrawPalette** out) {
  if (out == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  if (palette_ == nullptr) {
    return DDERR_NOPALETTEATTACHED;
  }
  palette_->AddRef();
  *out = palette_;
  return DD_OK;
}

HRESULT IDirectDrawSurface::SetClipper(IDirectDrawClipper* clipper) {
  Hold(clipper_, clipper);
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetDC(HDC* out) {
  if (out == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  const HRESULT fault = platform::DirectDrawFault(DirectDrawCall::kGetDC, caps_);
  if (fault != DD_OK) {
    return fault;
  }
  if (locked_) {
    return DDERR_SURFACEBUSY;
  }
  platform::gdi::LentPixels pixels{
      memory_.data(), width_, height_, static_cast<std::size_t>(pitch_), BytesPerPixel(), nullptr};
  if (BytesPerPixel() == 1) {
    std::array<PALETTEENTRY, 256> entries = platform::SystemPalette();
    if (palette_ != nullptr) {
      palette_->GetEntries(0, 0, 256, entries.data());
    }
    pixels.valueOf = [entries](COLORREF colour) { return NearestEntry(entries, colour); };
  } else {
    pixels.valueOf = [format = format_](COLORREF colour) {
      return IntoMask(colour & 0xFF, format.dwRBitMask) |
             IntoMask(colour >> 8 & 0xFF, format.dwGBitMask) |
             IntoMask(colour >> 16 & 0xFF, format.dwBBitMask);
    };
  }
  dc_ = platform::gdi::CreateDCOverPixels(pixels);
  locked_ = true;
  *out = dc_;
  return DD_OK;
}

HRESULT IDirectDrawSurface::ReleaseDC(HDC dc) {
  if (dc == nullptr || dc != dc_) {
    return DDERR_INVALIDPARAMS;
  }
  DeleteDC(dc_);
  dc_ = nullptr;
  locked_ = false;
  ShowIfPrimary();
  return DD_OK;
}

HRESULT IDirectDrawSurface::Restore() {
  return platform::DirectDrawFault(DirectDrawCall::kRestore, caps_);
}

bool IDirectDrawSurface::ChainLocked() const {
  for (const IDirectDrawSurface* surface = this; surface != nullptr; surface = surface->attached_) {
    if (surface->locked_) {
      return true;
    }
  }
  return false;
}

std::size_t IDirectDrawSurface::BytesPerPixel() const { return format_.dwRGBBitCount / 8; }

BYTE* IDirectDrawSurface::PixelAt(LONG x, LONG y) {
  return memory_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch_) +
         static_cast<std::size_t>(x) * BytesPerPixel();
}

void IDirectDrawSurface::Describe(DDSURFACEDESC& desc) const {
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc.dwHeight = static_cast<DWORD>(height_);
  desc.dwWidth = static_cast<DWORD>(width_);
  desc.lPitch = pitch_;
  desc.ddpfPixelFormat = format_;
  desc.ddsCaps.dwCaps = caps_;
}

void IDirectDrawSurface::ShowIfPrimary() const {
  if ((caps_ & DDSCAPS_PRIMARYSURFACE) == 0) {
    return;
  }
  platform::Frame frame;
  frame.width = width_;
  frame.height = height_;
  frame.bitsPerPixel = static_cast<int>(format_.dwRGBBitCount);
  const std::size_t row = static_cast<std::size_t>(width_) * BytesPerPixel();
  frame.pixels.resize(row * static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) {
    std::memcpy(frame.pixels.data() + row * static_cast<std::size_t>(y),
                memory_.data() + static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(y),
                row);
  }
  if (palette_ != nullptr) {
    frame.palette.resize(256);
    palette_->GetEntries(0, 0, 256, frame.palette.data());
  }
  platform::ShowFrame(std::move(frame));
}

namespace platform {

std::size_t LiveSurfaceCount() { return gLiveSurfaces; }

}  // namespace platform
