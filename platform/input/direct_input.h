// The DirectInput object, which makes the devices.
#pragma once

#include <atomic>

#include "platform/input/direct_input_device.h"
#include "platform/input/direct_input_types.h"
#include "platform/kernel/module.h"

class IDirectInput {
 public:
  IDirectInput(const IDirectInput&) = delete;
  IDirectInput& operator=(const IDirectInput&) = delete;

  ULONG AddRef();
  // Returns the remaining count; the object is gone at 0. Its devices live on their own counts.
  ULONG Release();
  // GUID_SysKeyboard only; the new device has a count of 1.
  HRESULT CreateDevice(REFGUID device, IDirectInputDevice** out, LPUNKNOWN outer);

 private:
  friend HRESULT DirectInputCreateA(HINSTANCE, DWORD, IDirectInput**, LPUNKNOWN);
  IDirectInput() = default;
  ~IDirectInput() = default;

  std::atomic<ULONG> references_{1};
};

// A new DirectInput object with a count of 1, for DIRECTINPUT_VERSION only.
HRESULT DirectInputCreateA(HINSTANCE instance, DWORD version, IDirectInput** out, LPUNKNOWN outer);
