// The host program: one window, the 640 x 480 x 8 display and the keyboard, then the product's
// libraries one at a time, each chosen by the result code of the one before.
#pragma once

#include "platform/kernel/module.h"
#include "platform/kernel/types.h"

// Only the instance is used. 0 after a normal quit; 1 when a start-up step or a library load
// failed, after its report on the debugger output.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
