// A DirectDraw surface: pixels in memory. A flipping primary surface heads a chain of back
// buffers; what the primary holds is what the display backend shows (8-bit pixels through the
// palette attached to it), after each Flip, each blit onto it and each Unlock of it.
#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

#include "platform/ddraw/direct_draw_types.h"
#include "platform/gdi/gdi_types.h"
#include "platform/window/rect.h"

class IDirectDraw;
class IDirectDrawClipper;
class IDirectDrawPalette;

class IDirectDrawSurface {
 public:
  IDirectDrawSurface(const IDirectDrawSurface&) = delete;
  IDirectDrawSurface& operator=(const IDirectDrawSurface&) = delete;

  // IID_IDirect3DTexture on a DDSCAPS_TEXTURE surface: its texture. A device identifier that
  // FindDevice gives on a DDSCAPS_3DDEVICE surface: a device drawing into it, which an 8-bit
  // surface gives only with a palette attached (else DDERR_NOPALETTEATTACHED). Either holds a
  // reference on the surface and starts at count 1. Anything else: E_NOINTERFACE; *out is
  // cleared first.
  HRESULT QueryInterface(REFGUID id, void** out);
  ULONG AddRef();
  // Returns the remaining count. At 0 the surface is gone and drops its references on the
  // surface attached to it, its palette and its clipper, so releasing a flipping primary
  // releases its back buffers unless the caller still holds them.
  ULONG Release();
  // The attached surface having all the asked capabilities (DDSCAPS_BACKBUFFER: the back buffer),
  // with a reference added for the caller.
  HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** out);
  // On the front surface of a chain: the pixels move one place towards the front (the first back
  // buffer's become the front's, the front's go to the last back buffer). `target` is null or
  // the first back buffer; flags are not used. The primary is then shown.
  HRESULT Flip(IDirectDrawSurface* target, DWORD flags);
  // The surface's memory (or, with a rectangle, the address of its top-left pixel) with its
  // size, pitch, pixel format and capabilities. One lock at a time; flags and event not used.
  HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event);
  HRESULT Unlock(LPVOID memory);
  // What Lock describes, without the memory.
  HRESULT GetSurfaceDesc(DDSURFACEDESC* desc);
  // DDBLT_COLORFILL fills the destination rectangle (null: the whole surface) with the effects
  // record's fill value; otherwise the source rectangle of `source` (null: all of it) is copied
  // onto it, stretched to its size. Both rectangles must lie inside their surfaces, except that
  // a destination with a clipper attached is cut to the surface. DDBLT_WAIT is not needed.
  HRESULT Blt(RECT* destination, IDirectDrawSurface* source, RECT* sourceRect, DWORD flags,
              DDBLTFX* effects);
  // Copies the source rectangle (null: all of the source) to (x, y) without stretching; with
  // DDBLTFAST_SRCCOLORKEY, pixels equal to the source's colour key are left out.
  HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, RECT* sourceRect, DWORD flags);
  // DDCKEY_SRCBLT only; the low value is the key.
  HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key);
  HRESULT GetColorKey(DWORD flags, DDCOLORKEY* key);
  // Attaches the palette (null: none) with a reference, dropping the one before; 8-bit only.
  HRESULT SetPalette(IDirectDrawPalette* palette);
  // The attached palette with a reference added; DDERR_NOPALETTEATTACHED without one.
  HRESULT GetPalette(IDirectDrawPalette** out);
  HRESULT SetClipper(IDirectDrawClipper* clipper);
  // A GDI device context that draws into the surface until ReleaseDC; the surface counts as
  // locked meanwhile (DDERR_SURFACEBUSY while locked or with a DC out). Colours become the
  // nearest entry of the attached palette (the system palette without one) on an 8-bit surface,
  // and are packed by the pixel format's masks on a 16-bit one.
  HRESULT GetDC(HDC* out);
  // DDERR_INVALIDPARAMS for any DC but the one GetDC handed out.
  HRESULT ReleaseDC(HDC dc);
  // Surfaces in memory are lost only when the DirectDraw fault hook answers DDERR_SURFACELOST for
  // a call on them; Restore succeeds unless the hook answers otherwise.
  HRESULT Restore();

 private:
  friend class IDirectDraw;
  IDirectDrawSurface(int width, int height, const DDPIXELFORMAT& format, DWORD caps);
  ~IDirectDrawSurface();
  bool ChainLocked() const;
  std::size_t BytesPerPixel() const;
  BYTE* PixelAt(LONG x, LONG y);
  void Describe(DDSURFACEDESC& desc) const;
  void ShowIfPrimary() const;

  std::atomic<ULONG> references_{1};
  int width_;
  int height_;
  DDPIXELFORMAT format_;
  LONG pitch_;
  DWORD caps_;
  std::vector<BYTE> memory_;
  bool locked_ = false;
  // The device context handed out by GetDC, or null.
  HDC dc_ = nullptr;
  bool keyed_ = false;
  DWORD colorKey_ = 0;
  IDirectDrawPalette* palette_ = nullptr;
  IDirectDrawClipper* clipper_ = nullptr;
  // The next surface of a flipping chain, held by one reference.
  IDirectDrawSurface* attached_ = nullptr;

  static std::atomic<bool> primaryExists_;
};

namespace platform {

// Surfaces not yet released (tests).
std::size_t LiveSurfaceCount();

}  // namespace platform
