#include "platform/ddraw/direct_draw_clipper.h"

ULONG IDirectDrawClipper::AddRef() { return ++references_; }

ULONG IDirectDrawClipper::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirectDrawClipper::SetHWnd(DWORD /*flags*/, HWND window) {
  window_ = window;
  return DD_OK;
}

HRESULT IDirectDrawClipper::GetHWnd(HWND* window) const {
  if (window == nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  if (window_ == nullptr) {
    return DDERR_NOHWND;
  }
  *window = window_;
  return DD_OK;
}
