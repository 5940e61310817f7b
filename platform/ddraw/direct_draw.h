// The DirectDraw object: cooperative level, display mode and its list, and the creation of
// surfaces, palettes and clippers.
#pragma once

#include <atomic>

#include "platform/com/guid.h"
#include "platform/ddraw/direct_draw_clipper.h"
#include "platform/ddraw/direct_draw_palette.h"
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
  // IID_IDirect3D: Direct3D (count 1), holding a reference on this object. No other interface
  // is here: E_NOINTERFACE, with *out cleared.
  HRESULT QueryInterface(REFGUID id, void** out);
  // DDSCL_NORMAL alone, or DDSCL_FULLSCREEN with DDSCL_EXCLUSIVE (and optionally
  // DDSCL_ALLOWREBOOT, DDSCL_ALLOWMODEX, DDSCL_NOWINDOWCHANGES) for an existing window.
  HRESULT SetCooperativeLevel(HWND window, DWORD flags);
  // The one display's mode, 8 or 16 bits per pixel; 640 x 480 x 8 until set. The mode is
  // recorded and sizes new primary surfaces; the backend's window keeps its own size.
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel);
  // Back to the desktop's mode, 640 x 480 x 8.
  HRESULT RestoreDisplayMode();
  // Reports every mode of the display's fixed list to the callback until it answers
  // DDENUMRET_CANCEL; flags and the description filter are not used.
  HRESULT EnumDisplayModes(DWORD flags, DDSURFACEDESC* filter, LPVOID context,
                           LPDDENUMMODESCALLBACK callback);
  // The driver's capabilities (no hardware 3D) into either record that is given.
  HRESULT GetCaps(DDCAPS* driver, DDCAPS* emulation);
  // After SetCooperativeLevel: the primary surface (DDSCAPS_PRIMARYSURFACE), in the display mode's
  // size and depth, one at a time. With DDSCAPS_FLIP and DDSCAPS_COMPLEX it heads a chain of
  // dwBackBufferCount (1 to 3) back buffers. Or an offscreen surface (DDSCAPS_OFFSCREENPLAIN or
  // DDSCAPS_TEXTURE) of dwWidth x dwHeight, in the display's depth or the given 8-bit
  // palette-indexed or 16-bit RGB pixel format. System and video memory are both plain memory.
  HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, LPUNKNOWN outer);
  // An 8-bit palette (DDPCAPS_8BIT) of the 256 given entries.
  HRESULT CreatePalette(DWORD flags, const PALETTEENTRY* entries, IDirectDrawPalette** out,
                        LPUNKNOWN outer);
  HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** out, LPUNKNOWN outer);

 private:
  friend HRESULT DirectDrawCreate(GUID*, IDirectDraw**, LPUNKNOWN);
  IDirectDraw() = default;
  ~IDirectDraw() = default;
  HRESULT CreateOffscreenSurface(const DDSURFACEDESC& desc, IDirectDrawSurface** out);

  std::atomic<ULONG> references_{1};
  bool cooperationSet_ = false;
};

// A DirectDraw object (count 1) for the primary display: `driver` must be null.
// DDERR_OUTOFMEMORY when the allocation hook refuses the object.
HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** out, LPUNKNOWN outer);
// Reports the display drivers: only the primary one (null GUID) is here.
HRESULT DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context);

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
