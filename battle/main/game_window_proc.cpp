#include "battle/main/game_window_proc.h"

#include "battle/arena/arena_view.h"
#include "battle/arena/input_event.h"
#include "battle/arena/player_tank.h"
#include "battle/main/game_session.h"
#include "battle/ui/ui_toolkit.h"
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

// While the design screen is up its toolkit takes every message; otherwise mouse messages
// become input events while the player's tank exists.
LRESULT GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (gGameSession.DesignScreenUp()) {
    return HandleUiWindowMessage(window, message, wParam, lParam);
  }
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
      if (CPlayerTank* tank = gGameSession.ownTank) {
        const std::uint32_t code = message == WM_MOUSEMOVE     ? kMouseMove
                                   : message == WM_LBUTTONDOWN ? kMouseLeftDown
                                   : message == WM_RBUTTONDOWN ? kMouseRightDown
                                                               : kMouseMiddleDown;
        const auto bits = static_cast<std::uint32_t>(lParam);
        PostWindowInputEvent(*tank, code, static_cast<std::uint32_t>(wParam), bits & 0xFFFF,
                             bits >> 16);
      }
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
