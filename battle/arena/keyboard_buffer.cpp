#include "battle/arena/keyboard_buffer.h"

#include "host/interface/host_record.h"
#include "platform/dinput.h"

namespace {

// The modifier bit of a modifier key's scan code, or 0 for any other key.
std::uint8_t ModifierBit(DWORD scanCode) {
  switch (scanCode) {
    case DIK_LCONTROL:
      return kModifierLeftCtrl;
    case DIK_LSHIFT:
      return kModifierLeftShift;
    case DIK_RSHIFT:
      return kModifierRightShift;
    case DIK_LMENU:
      return kModifierLeftAlt;
    case DIK_RCONTROL:
      return kModifierRightCtrl;
    case DIK_RMENU:
      return kModifierRightAlt;
    default:
      return 0;
  }
}

}  // namespace

bool ReadKeyboardBuffer(KeyboardDevice* keyboard, KeyboardRecord* record) {
  *record = {};
  DIDEVICEOBJECTDATA event{};
  DWORD count = 1;
  const HRESULT result = keyboard->device->GetDeviceData(sizeof event, &event, &count, 0);
  if (result == DIERR_INPUTLOST) {
    keyboard->device->Acquire();
    return false;
  }
  // A buffer that overflowed still hands out its events (a success code other than DI_OK).
  if (result < 0 || count == 0) {
    return false;
  }
  const bool pressed = (event.dwData & 0x80) != 0;
  if (const std::uint8_t bit = ModifierBit(event.dwOfs); bit != 0) {
    keyboard->modifiers = pressed ? keyboard->modifiers | bit : keyboard->modifiers & ~bit;
    return false;
  }
  const std::uint8_t scanCode = static_cast<std::uint8_t>(event.dwOfs);
  record->scanCode = scanCode;
  if (pressed) {
    record->state = keyboard->modifiers;
    keyboard->pressModifiers[scanCode] = keyboard->modifiers;
  } else {
    record->state = keyboard->pressModifiers[scanCode] | kKeyReleased;
  }
  return true;
}
