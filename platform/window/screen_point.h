// Points on the screen: a window's client coordinates made screen coordinates, and where the
// mouse was last seen.
#pragma once

#include "platform/kernel/types.h"
#include "platform/window/handles.h"

struct POINT {
  LONG x;
  LONG y;
};

// Adds the window's place on the screen (a window's client area starts at its top-left corner
// here, since no window has a frame drawn). FALSE for a window that does not exist or a null point.
BOOL ClientToScreen(HWND window, POINT* point);
// The mouse's last reported place in screen coordinates ((0, 0) before any report). FALSE for a
// null point.
BOOL GetCursorPos(POINT* point);

namespace platform {

// The display backend's mouse report, in the window's client coordinates.
void ReportMousePosition(HWND window, int x, int y);

}  // namespace platform
