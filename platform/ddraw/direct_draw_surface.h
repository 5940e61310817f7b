// A DirectDraw surface: pixels in memory. A flipping primary surface heads a chain of back
// buffers; what the primary holds is what the display backend shows, after each Flip and after
// each Unlock of the primary itself.
#pragma once

#include <atomic>
#include <vector>

#include "platform/ddraw/direct_draw_types.h"
#include "platform/window/rect.h"

class IDirectDraw;

class IDirectDrawSurface {
 public:
  IDirectDrawSurface(const IDirectDrawSurface&) = delete;
  IDirectDrawSurface& operator=(const IDirectDrawSurface&) = delete;

  ULONG AddRef();
  // Returns the remaining count. At 0 the surface is gone and drops its reference on the surface
  // attached to it, so releasing a flipping primary releases its back buffers unless the caller
  // still holds them.
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

 private:
  friend class IDirectDraw;
  IDirectDrawSurface(int width, int height, int bitsPerPixel, DWORD caps);
  ~IDirectDrawSurface();
  bool ChainLocked() const;
  void Show() const;

  std::atomic<ULONG> references_{1};
  int width_;
  int height_;
  int bitsPerPixel_;
  LONG pitch_;
  DWORD caps_;
  std::vector<BYTE> memory_;
  bool locked_ = false;
  // The next surface of a flipping chain, held by one reference.
  IDirectDrawSurface* attached_ = nullptr;

  static std::atomic<bool> primaryExists_;
};
