// Handle and callback types of the windowing services.
#pragma once

#include <cstdint>

#include "platform/kernel/types.h"

namespace platform {
struct WindowTag;
}  // namespace platform

// A window handle is a number that names a window while it exists; calls given a destroyed
// window's handle fail instead of reaching freed memory.
using HWND = platform::WindowTag*;
using HICON = HANDLE;
using HCURSOR = HANDLE;
using HMENU = HANDLE;
using HBRUSH = HANDLE;
using ATOM = WORD;
// A window word wide enough for a procedure's address.
using LONG_PTR = std::intptr_t;

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
