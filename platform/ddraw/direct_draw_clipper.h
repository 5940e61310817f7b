// A DirectDraw clipper: bound to a window, it lets blits onto the surface it is attached to
// reach past the surface's edges (what lies outside is cut off).
#pragma once

#include <atomic>

#include "platform/ddraw/direct_draw_types.h"
#include "platform/window/handles.h"

class IDirectDrawClipper {
 public:
  IDirectDrawClipper(const IDirectDrawClipper&) = delete;
  IDirectDrawClipper& operator=(const IDirectDrawClipper&) = delete;

  ULONG AddRef();
  ULONG Release();
  // Flags are not used.
  HRESULT SetHWnd(DWORD flags, HWND window);
  HRESULT GetHWnd(HWND* window) const;

 private:
  friend class IDirectDraw;
  IDirectDrawClipper() = default;
  ~IDirectDrawClipper() = default;

  std::atomic<ULONG> references_{1};
  HWND window_ = nullptr;
};
