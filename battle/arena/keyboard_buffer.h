// Reading the system keyboard's buffered events, with the modifier keys folded into a state
// byte so that every key is released with the modifiers it was pressed with.
#pragma once

#include <cstdint>

struct KeyboardDevice;

// One key event: the scan code and a state of the modifier bits, with 0x80 for a release.
struct KeyboardRecord {
  std::uint8_t scanCode;
  std::uint8_t state;
  bool operator==(const KeyboardRecord&) const = default;
};

inline constexpr std::uint8_t kKeyReleased = 0x80;

// Reads one buffered event. True when it was a key other than a modifier; a modifier key only
// updates the device's modifier bits. A lost device is acquired again and reads nothing.
bool ReadKeyboardBuffer(KeyboardDevice* keyboard, KeyboardRecord* record);
