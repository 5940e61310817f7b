#include "battle/arena/joystick.h"

#include "platform/joystick/joystick.h"

JoystickRecord gJoystick;

namespace {

// The X range is divided by this for the dead zone.
constexpr std::uint32_t kDeadZoneDivisor = 64;

bool IsPlugged(UINT id) {
  JOYINFO info{};
  return joyGetPos(id, &info) != JOYERR_UNPLUGGED;
}

}  // namespace

void DetectJoystick() {
  gJoystick = JoystickRecord{};
  const UINT count = joyGetNumDevs();
  UINT id = 0;
  if (!IsPlugged(0)) {
    if (count < 2 || !IsPlugged(1)) {
      return;
    }
    id = 1;
  }
  JOYCAPSA caps{};
  // A range that runs backwards has no dead zone either.
  if (joyGetDevCapsA(id, &caps, sizeof(caps)) != JOYERR_NOERROR || caps.wXmax < caps.wXmin) {
    return;
  }
  const std::uint32_t deadZone = (caps.wXmax - caps.wXmin) / kDeadZoneDivisor;
  if (deadZone == 0) {
    return;
  }
  gJoystick = JoystickRecord{1, id, deadZone};
}

void DisableJoystick() { gJoystick.usable = 0; }
