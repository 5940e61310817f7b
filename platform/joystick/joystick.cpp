#include "platform/joystick/joystick.h"

#include <array>
#include <mutex>

namespace {

std::mutex gJoystickMutex;
std::array<std::optional<platform::AttachedJoystick>, kJoystickSlots> gJoysticks;

}  // namespace

UINT joyGetNumDevs() { return kJoystickSlots; }

MMRESULT joyGetPos(UINT id, JOYINFO* info) {
  if (id >= kJoystickSlots || info == nullptr) {
    return JOYERR_PARMS;
  }
  std::lock_guard lock(gJoystickMutex);
  if (!gJoysticks[id]) {
    return JOYERR_UNPLUGGED;
  }
  *info = gJoysticks[id]->position;
  return JOYERR_NOERROR;
}

MMRESULT joyGetDevCapsA(UINT id, JOYCAPSA* caps, UINT size) {
  if (id >= kJoystickSlots || caps == nullptr || size < sizeof(JOYCAPSA)) {
    return JOYERR_PARMS;
  }
  std::lock_guard lock(gJoystickMutex);
  if (!gJoysticks[id]) {
    return JOYERR_UNPLUGGED;
  }
  *caps = gJoysticks[id]->caps;
  return JOYERR_NOERROR;
}

namespace platform {

void SetJoystick(UINT id, std::optional<AttachedJoystick> stick) {
  if (id >= kJoystickSlots) {
    return;
  }
  std::lock_guard lock(gJoystickMutex);
  gJoysticks[id] = stick;
}

}  // namespace platform
