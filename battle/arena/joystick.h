// The joystick found when the library loaded: the first stick plugged into number 0 or 1 whose
// X range is wide enough to have a dead zone.
#pragma once

#include <cstdint>

struct JoystickRecord {
  // 1 while a usable stick was found and not disabled.
  std::uint32_t usable = 0;
  std::uint32_t id = 0;
  // (Xmax - Xmin) / 64.
  std::uint32_t deadZone = 0;
};

extern JoystickRecord gJoystick;

// Probes the joysticks and records the first plugged one when its capabilities can be read and
// give a dead zone; otherwise the record stays unusable.
void DetectJoystick();
// Clears the usable flag.
void DisableJoystick();
