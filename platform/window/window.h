// Top-level windows: their styles, procedure, place, visibility and activation. The display
// backend shows the most recently shown window and feeds it input.
#pragma once

#include <thread>

#include "platform/kernel/module.h"
#include "platform/kernel/types.h"
#include "platform/window/handles.h"

inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

inline constexpr int GWL_WNDPROC = -4;
inline constexpr int GWL_STYLE = -16;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2));
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;

// Creates a window of a registered class with the class's procedure and sends it WM_CREATE (a
// result of -1 destroys it again). A window created with WS_VISIBLE is shown and, while the
// application has the focus, becomes the active window. Parent, menu and creation parameter are
// accepted and not used. Null on failure.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID parameter);
// Sends WM_DESTROY, then forgets the window and drops its queued messages. FALSE for a window
// that does not exist.
BOOL DestroyWindow(HWND window);
// GWL_WNDPROC sets the procedure and GWL_STYLE the style; either returns the previous value, so a
// procedure can be put back. 0 for another index or a window that does not exist.
LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value);
// The active window, null while the application does not have the focus.
HWND GetActiveWindow();
// SW_SHOW shows the window (and activates it while the application has the focus), SW_HIDE hides
// it. Returns whether it was visible before.
BOOL ShowWindow(HWND window, int command);
// HWND_TOPMOST makes the window topmost, HWND_NOTOPMOST ends that; SWP_NOMOVE and SWP_NOSIZE
// keep place and size.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);

namespace platform {

struct WindowState {
  DWORD style;
  DWORD exStyle;
  int x;
  int y;
  int width;
  int height;
  bool visible;
};

// The window's current state, false when it does not exist.
bool GetWindowState(HWND window, WindowState& state);
// The window's procedure and the thread whose queue receives its messages; false when the
// window does not exist.
bool GetWindowTarget(HWND window, WNDPROC& procedure, std::thread::id& thread);
// The window that the display backend shows, or null.
HWND GetShownWindow();
// Focus changes of the application, reported by the display backend: the active window is
// deactivated (WM_ACTIVATE WA_INACTIVE, WM_ACTIVATEAPP FALSE) or activated again (WM_ACTIVATEAPP
// TRUE, WM_ACTIVATE WA_ACTIVE, WM_SETFOCUS); these messages are sent, not queued.
void SetApplicationFocus(bool focused);
// Counts the changes of the active window, so that a device bound to it can tell that it lost
// the foreground even when the window has become active again since.
DWORD GetActiveWindowChanges();
// Destroys every window without messages and gives the application the focus again (tests).
void ResetWindows();

}  // namespace platform
