// Our substitute for the WinMM joystick functions. Every joystick reads as unplugged until a
// stick is attached to its number: by a test, by the input script, or by the SDL2 window's game
// controller.
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

// The extended position: which fields to fill (JOY_RETURN*) and the position with the
// point-of-view hat and 32 buttons. 52 bytes, as the caller says in dwSize.
struct JOYINFOEX {
  DWORD dwSize = 0;
  DWORD dwFlags = 0;
  DWORD dwXpos = 0;
  DWORD dwYpos = 0;
  DWORD dwZpos = 0;
  DWORD dwRpos = 0;
  DWORD dwUpos = 0;
  DWORD dwVpos = 0;
  DWORD dwButtons = 0;
  DWORD dwButtonNumber = 0;
  // Hundredths of a degree clockwise from forward, or JOY_POVCENTERED.
  DWORD dwPOV = 0;
  DWORD dwReserved1 = 0;
  DWORD dwReserved2 = 0;
};

inline constexpr DWORD JOY_RETURNX = 0x01;
inline constexpr DWORD JOY_RETURNY = 0x02;
inline constexpr DWORD JOY_RETURNPOV = 0x40;
inline constexpr DWORD JOY_RETURNBUTTONS = 0x80;
inline constexpr DWORD JOY_POVCENTERED = 0xFFFF;

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
// JOYERR_NOERROR with the fields dwFlags asks for (X, Y, the hat and the buttons; the others
// read 0), JOYERR_UNPLUGGED, or JOYERR_PARMS (also for a dwSize other than the record's).
MMRESULT joyGetPosEx(UINT id, JOYINFOEX* info);

namespace platform {

// A stick attached to a joystick number: its capabilities, where it stands (with the first 16
// buttons), where its hat points and all 32 buttons.
struct AttachedJoystick {
  JOYCAPSA caps;
  JOYINFO position;
  DWORD pov = JOY_POVCENTERED;
  DWORD buttons = 0;
};

// Attaches a stick to the number, or unplugs it (nothing); numbers the driver does not support
// are ignored.
void SetJoystick(UINT id, std::optional<AttachedJoystick> stick);

}  // namespace platform
