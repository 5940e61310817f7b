// The game window's procedure, installed on the host's window while the game runs.
#pragma once

#include "platform/kernel/types.h"
#include "platform/window/handles.h"

// Keeps the palette and the hidden cursor in place and the screen saver away; keyboard input is
// read from DirectInput during the frame, never from window messages.
LRESULT GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
