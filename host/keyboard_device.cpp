#include "host/host_record.h"
#include "host/process_record.h"
#include "platform/dinput.h"

namespace {

constexpr DWORD kKeyEventBuffer = 32;

}  // namespace

bool KeyboardDevice::Open() {
  HostRecord& record = *gHostRecord;
  if (record.directInput != nullptr) {
    record.directInput->AddRef();
  } else if (DirectInputCreateA(static_cast<HINSTANCE>(record.module), DIRECTINPUT_VERSION,
                                &record.directInput, nullptr) != DI_OK) {
    return false;
  }
  // A failure here keeps the DirectInput reference until a later close.
  if (record.directInput->CreateDevice(GUID_SysKeyboard, &device, nullptr) != DI_OK) {
    return false;
  }
  DIPROPDWORD bufferSize{};
  bufferSize.diph.dwSize = sizeof bufferSize;
  bufferSize.diph.dwHeaderSize = sizeof bufferSize.diph;
  bufferSize.diph.dwObj = 0;
  bufferSize.diph.dwHow = DIPH_DEVICE;
  bufferSize.dwData = kKeyEventBuffer;
  if (device->SetCooperativeLevel(record.window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) != DI_OK ||
      device->SetDataFormat(&c_dfDIKeyboard) != DI_OK ||
      device->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph) != DI_OK ||
      device->Acquire() != DI_OK) {
    Close();
    return false;
  }
  return true;
}

void KeyboardDevice::Close() {
  if (device != nullptr) {
    device->Unacquire();
    device->Release();
    device = nullptr;
  }
  // Nothing to release before the host's start-up has named its record.
  if (gHostRecord != nullptr && gHostRecord->directInput != nullptr &&
      gHostRecord->directInput->Release() == 0) {
    gHostRecord->directInput = nullptr;
  }
}
