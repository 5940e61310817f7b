// Our substitute for the WinMM joystick functions. The machine has no joystick port: every
// joystick reads as unplugged unless a test attaches a stick to a number.
#pragma once

#include <optional>

#include "platform/kernel/types.h"

using MMRESULT = UINT;

inline constexpr MMRESULT JOYERR_NOERROR = 0;
inline constexpr MMRESULT JOYERR_PARMS = 165;
inline constexpr MMRESULT JOYERR_UNPLUGGED = 167;

// The joystick numbers the driver supports.
inline constexpr UINT kJoystickSlots = 2;

struct JOYINFO {
  UINT wXpos;
  UINT wYpos;
  UINT wZpos;
  UINT wButtons;
};

// The capabilities the game reads: the ranges of the axes and the buttons.
struct JOYCAPSA {
  UINT wXmin;
  UINT wXmax;
  UINT wYmin;
  UINT wYmax;
  UINT wNumButtons;
};

// The number of joysticks the driver supports (not how many are plugged in).
UINT joyGetNumDevs();
// JOYERR_NOERROR with the stick's position, JOYERR_UNPLUGGED, or JOYERR_PARMS for a number the
// driver does not support.
MMRESULT joyGetPos(UINT id, JOYINFO* info);
// JOYERR_NOERROR with the capabilities (size: the record's size), JOYERR_UNPLUGGED, or
// JOYERR_PARMS.
MMRESULT joyGetDevCapsA(UINT id, JOYCAPSA* caps, UINT size);

namespace platform {

// A stick attached to a joystick number (tests): its capabilities and where it stands.
struct AttachedJoystick {
  JOYCAPSA caps;
  JOYINFO position;
};

// Attaches a stick to the number, or unplugs it (nothing); numbers the driver does not support
// are ignored.
void SetJoystick(UINT id, std::optional<AttachedJoystick> stick);

}  // namespace platform
