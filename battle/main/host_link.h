// The host record lent to dll_main and the game window it names, for the whole of one game. The
// game reads the window, the DirectDraw objects, the login block, the screen size and the view
// flags through it, and hands the primary surface back through it at the world stop. Null
// outside dll_main (tests point it at their own record).
#pragma once

#include "platform/window/handles.h"

struct HostRecord;

extern HostRecord* gHostRecord;
extern HWND gGameWindow;
