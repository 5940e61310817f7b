// The headless backend's input script: one event per line, "TIME WHAT [ARGUMENTS]", TIME in
// milliseconds since the process started (0 = the start), whatever the origin of the process
// clock (timeGetTime counts from the system's start), so that a script means the same on every
// machine. ParseInputScript keeps the times as written; the backend made from the environment
// counts them from the clock's StartMilliseconds. WHAT is one of
//   key_down CODE | key_up CODE          DirectInput scan code, decimal or 0x-hex, 0-255
//   mouse_move X Y
//   mouse_down BUTTON X Y | mouse_up BUTTON X Y      BUTTON: left, right or middle
//   char CODE                            a typed character's code, decimal or 0x-hex, 1-255
//   focus_lost | focus_gained | close
//   joystick_attach STICK [BUTTONS]      a stick with axes 0-65535 (centred) and 32 buttons or
//                                        BUTTONS 0-32; STICK is the joystick number, 0 or 1
//   joystick_detach STICK
//   joystick_axis STICK x|y POSITION     POSITION 0-65535
//   joystick_button_down STICK BUTTON | joystick_button_up STICK BUTTON      BUTTON 0-31
//   joystick_hat STICK DIRECTION         hundredths of a degree clockwise from forward, 0-35999,
//                                        or "centred"
// Blank lines and lines starting with '#' are skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/backend/display_backend.h"

namespace platform {

struct InputScript {
  // In time order (events of the same time keep their order in the text).
  std::vector<BackendEvent> events;
  // "line N: reason" for each line that was not understood and was skipped.
  std::vector<std::string> errors;
};

InputScript ParseInputScript(std::string_view text);

}  // namespace platform
