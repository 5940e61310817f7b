// The program's one dialog and its entry.
#pragma once

#include <cstdint>

#include "platform/kernel/module.h"
#include "platform/kernel/types.h"
#include "platform/window/handles.h"

// Shown in the server-name box when there is no "ip.dat": the game server's host name, which
// runs on this machine for the project's own server.
inline constexpr const char* kDefaultServerName = "localhost";
// The server-name field holds 20 bytes.
inline constexpr int kServerNameSize = 20;

std::intptr_t SystemCheckDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The first word of "ip.dat" (at most 19 characters) into the server-name box, or the default
// name when there is no such file; a file without a word leaves the box empty.
void ReadServerName(HWND dialog);
// Runs the dialog and returns 0.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
