// Window messages and the per-thread message queue.
#pragma once

#include "platform/kernel/types.h"
#include "platform/window/handles.h"

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_ACTIVATEAPP = 0x001C;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
inline constexpr UINT WM_PALETTECHANGED = 0x0311;
inline constexpr UINT WM_USER = 0x0400;

// WM_KEYDOWN's wParam for the keys that have no character.
inline constexpr WPARAM VK_END = 0x23;
inline constexpr WPARAM VK_HOME = 0x24;
inline constexpr WPARAM VK_LEFT = 0x25;
inline constexpr WPARAM VK_UP = 0x26;
inline constexpr WPARAM VK_RIGHT = 0x27;
inline constexpr WPARAM VK_DOWN = 0x28;
inline constexpr WPARAM VK_DELETE = 0x2E;

// WM_SYSCOMMAND's wParam.
inline constexpr WPARAM SC_SCREENSAVE = 0xF140;
// WM_ACTIVATE's wParam.
inline constexpr WPARAM WA_INACTIVE = 0;
inline constexpr WPARAM WA_ACTIVE = 1;
// The button bits in a mouse message's wParam.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_MBUTTON = 0x0010;

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  // timeGetTime when the message was posted.
  DWORD time;
};

// A mouse message's lParam: x in the low 16 bits, y in the high 16 bits.
constexpr LPARAM MakeMouseLParam(int x, int y) {
  return static_cast<LPARAM>((static_cast<DWORD>(y & 0xFFFF) << 16) |
                             static_cast<DWORD>(x & 0xFFFF));
}

// Each thread has its own queue; a window's messages go to the queue of the thread that created
// it. The filter is a window (null: any, thread messages included) and a message range (0, 0:
// all). WM_QUIT comes only once no other matching message is waiting. Before looking, the queue
// takes in the display backend's due input.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove);
// Waits for a matching message and removes it; 0 for WM_QUIT, -1 for a bad argument, else 1.
// While it waits, the process clock sleeps until the backend's next scripted event.
BOOL GetMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax);
// The display backend queues typed characters as WM_CHAR itself (the game reads the keys through
// DirectInput): nothing to translate, always FALSE.
BOOL TranslateMessage(const MSG* message);
// Calls the current procedure of the message's window; 0 when it has none.
LRESULT DispatchMessageA(const MSG* message);
// Calls the window's procedure at once, on the calling thread; 0 for a window that does not exist.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the window's thread (a null window: the calling thread's queue).
// FALSE when the window does not exist.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Asks the calling thread's queue for a WM_QUIT with this exit code in its wParam.
void PostQuitMessage(int exitCode);
// The default answers: WM_CLOSE destroys the window; everything else is answered 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
