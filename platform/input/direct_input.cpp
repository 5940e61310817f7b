#include "platform/input/direct_input.h"

ULONG IDirectInput::AddRef() { return ++references_; }

ULONG IDirectInput::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirectInput::CreateDevice(REFGUID device, IDirectInputDevice** out, LPUNKNOWN outer) {
  if (out == nullptr || outer != nullptr) {
    return DIERR_INVALIDPARAM;
  }
  if (device != GUID_SysKeyboard) {
    return DIERR_DEVICENOTREG;
  }
  *out = new IDirectInputDevice();
  return DI_OK;
}

HRESULT DirectInputCreateA(HINSTANCE /*instance*/, DWORD version, IDirectInput** out,
                           LPUNKNOWN outer) {
  if (out == nullptr || outer != nullptr || version != DIRECTINPUT_VERSION) {
    return DIERR_INVALIDPARAM;
  }
  *out = new IDirectInput();
  return DI_OK;
}
