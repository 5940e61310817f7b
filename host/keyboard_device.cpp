#include "host/keyboard_device.h"

#include "host/interface/host_record.h"
#include "host/process_record.h"
#include "platform/dinput.h"

namespace {

constexpr DWORD kKeyEventBuffer = 32;

}  // namespace

bool OpenKeyboardDevice(KeyboardDevice& keyboard) {
  HostRecord& record = *gHostRecord;
  if (record.directInput != nullptr) {
    record.directInput->AddRef();
  } else if (DirectInputCreateA(static_cast<HINSTANCE>(record.module), DIRECTINPUT_VERSION,
                                &record.directInput, nullptr) != DI_OK) {
    return false;
  }
  // A failure here keeps the DirectInput reference until a later close.
  if (record.directInput->CreateDevice(GUID_SysKeyboard, &keyboard.device, nullptr) != DI_OK) {
    return false;
  }
  DIPROPDWORD bufferSize{};
  bufferSize.diph.dwSize = sizeof bufferSize;
  bufferSize.diph.dwHeaderSize = sizeof bufferSize.diph;
  bufferSize.diph.dwObj = 0;
  bufferSize.diph.dwHow = DIPH_DEVICE;
  bufferSize.dwData = kKeyEventBuffer;
  if (keyboard.device->SetCooperativeLevel(record.window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) !=
          DI_OK ||
      keyboard.device->SetDataFormat(&c_dfDIKeyboard) != DI_OK ||
      keyboard.device->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph) != DI_OK ||
      keyboard.device->Acquire() != DI_OK) {
    CloseKeyboardDevice(keyboard);
    return false;
  }
  return true;
}

void CloseKeyboardDevice(KeyboardDevice& keyboard) {
  if (keyboard.device != nullptr) {
    keyboard.device->Unacquire();
    keyboard.device->Release();
    keyboard.device = nullptr;
  }
  // Nothing to release before the host's start-up has named its record.
  if (gHostRecord != nullptr && gHostRecord->directInput != nullptr &&
      gHostRecord->directInput->Release() == 0) {
    gHostRecord->directInput = nullptr;
  }
}
