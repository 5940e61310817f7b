// The DirectDraw object: cooperative level, display mode and surface creation.
#pragma once

#include <atomic>

#include "platform/com/guid.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/ddraw/direct_draw_types.h"
#include "platform/window/handles.h"

class IDirectDraw {
 public:
  IDirectDraw(const IDirectDraw&) = delete;
  IDirectDraw& operator=(const IDirectDraw&) = delete;

  ULONG AddRef();
  // Returns the remaining count; the object is gone at 0. Its surfaces live on their own counts.
  ULONG Release();
  // DDSCL_NORMAL alone, or DDSCL_FULLSCREEN with DDSCL_EXCLUSIVE (and optionally
  // DDSCL_ALLOWREBOOT, DDSCL_ALLOWMODEX) for an existing window.
  HRESULT SetCooperativeLevel(HWND window, DWORD flags);
  // The one display's mode, 8 or 16 bits per pixel; 640 x 480 x 8 until set.
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel);
  // After SetCooperativeLevel: the primary surface (DDSCAPS_PRIMARYSURFACE), in the display mode's
  // size and depth, one at a time. With DDSCAPS_FLIP and DDSCAPS_COMPLEX it heads a chain of
  // dwBackBufferCount (1 to 3) back buffers. System and video memory are both plain memory.
  HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, LPUNKNOWN outer);

 private:
  friend HRESULT DirectDrawCreate(GUID*, IDirectDraw**, LPUNKNOWN);
  IDirectDraw() = default;
  ~IDirectDraw() = default;

  std::atomic<ULONG> references_{1};
  bool cooperationSet_ = false;
};

// A DirectDraw object (count 1) for the primary display: `driver` must be null.
// DDERR_OUTOFMEMORY when the allocation hook refuses the object.
HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** out, LPUNKNOWN outer);

namespace platform {

struct DisplayMode {
  int width;
  int height;
  int bitsPerPixel;
};

DisplayMode GetDisplayMode();
// Back to 640 x 480 x 8 (tests).
void ResetDisplayMode();

}  // namespace platform
