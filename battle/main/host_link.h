// The host link: the host record lent to dll_main and the game window it names, for the whole of
// one game. The game reads the window, the DirectDraw objects, the login block, the screen size
// and the view flags through the record, and hands the primary surface back through it at the
// world stop. Owner: dll_main, which fills it on entry; null outside dll_main (tests point it at
// their own record). The names the game uses are references to the members.
#pragma once

#include "platform/window/handles.h"

struct HostRecord;

struct HostLink {
  HostRecord* hostRecord = nullptr;
  HWND gameWindow = nullptr;
};

extern HostLink gHostLink;

inline HostRecord*& gHostRecord = gHostLink.hostRecord;
inline HWND& gGameWindow = gHostLink.gameWindow;
