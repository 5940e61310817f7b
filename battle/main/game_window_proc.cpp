#include "battle/main/game_window_proc.h"

#include "battle/arena/arena_view.h"
#include "battle/main/game_session.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"
#include "platform/window/cursor.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"

namespace {

LRESULT AnswerQueryNewPalette(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!gGameSession.palettes.ReselectPending()) {
    return 1;
  }
  if (gRenderDevice == nullptr) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  r3xSetDevicePalette(gRenderDevice, nullptr);
  gGameSession.palettes.ClearReselectPending();
  return 1;
}

}  // namespace

// Until the player's tank exists (it comes with the frame tick's message dispatch), the design
// screen never takes the window's messages and mouse messages post no input events: both join
// here with it (HandleUiWindowMessage, PostWindowInputEvent).
LRESULT GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
    case WM_MOVE:
    case WM_SIZE:
    case WM_PAINT:
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // With CPlayerTank: while the player's tank exists, PostWindowInputEvent(its mailbox,
      // kMouseMove / kMouseLeftDown / kMouseRightDown / kMouseMiddleDown by the message, wParam,
      // the low and high 16 bits of lParam).
      return 0;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
      if (R3xPalette* palette = gGameSession.palettes.Current()) {
        r3xSetDevicePalette(gRenderDevice, palette);
      }
      return 0;
    case WM_SETFOCUS:
      ShowWindow(window, SW_SHOW);
      return 0;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return 0;
    case WM_SYSCOMMAND:
      if (wParam == SC_SCREENSAVE) {
        return 0;  // the screen saver never starts
      }
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_QUERYNEWPALETTE:
      return AnswerQueryNewPalette(window, message, wParam, lParam);
    case WM_PALETTECHANGED:
      if (reinterpret_cast<HWND>(wParam) != window) {
        gGameSession.palettes.RequestReselect();
      }
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
