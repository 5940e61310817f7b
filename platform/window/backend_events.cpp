// The display backend's mouse, focus and close events: focus changes go to the window services,
// the rest to the shown window's queue as the messages a window receives.
#include "platform/backend/event_pump.h"
#include "platform/input/dik_codes.h"
#include "platform/window/messages.h"
#include "platform/window/screen_point.h"
#include "platform/window/window.h"

namespace platform {
namespace {

struct ButtonMessages {
  WPARAM flag;
  UINT down;
  UINT up;
};

ButtonMessages MessagesOf(MouseButton button) {
  switch (button) {
    case MouseButton::kLeft:
      return {MK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP};
    case MouseButton::kRight:
      return {MK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP};
    case MouseButton::kMiddle:
      break;
  }
  return {MK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP};
}

// The virtual key of the keys without a character that windows are told of; 0 for the others,
// whose characters arrive as WM_CHAR.
WPARAM VirtualKeyOf(int scanCode) {
  switch (scanCode) {
    case DIK_HOME:
      return VK_HOME;
    case DIK_END:
      return VK_END;
    case DIK_LEFT:
      return VK_LEFT;
    case DIK_RIGHT:
      return VK_RIGHT;
    case DIK_UP:
      return VK_UP;
    case DIK_DOWN:
      return VK_DOWN;
    case DIK_DELETE:
      return VK_DELETE;
    default:
      return 0;
  }
}

// The buttons held, as a mouse message's wParam reports them.
WPARAM gButtonsHeld = 0;

void DeliverWindowEvent(const BackendEvent& event) {
  if (event.kind == BackendEventKind::kFocusLost || event.kind == BackendEventKind::kFocusGained) {
    SetApplicationFocus(event.kind == BackendEventKind::kFocusGained);
    return;
  }
  // Mouse and close go to the shown window; without one they are lost, as on a bare screen.
  const HWND window = GetShownWindow();
  if (window == nullptr) {
    return;
  }
  switch (event.kind) {
    case BackendEventKind::kMouseMove:
      ReportMousePosition(window, event.x, event.y);
      PostMessageA(window, WM_MOUSEMOVE, gButtonsHeld, MakeMouseLParam(event.x, event.y));
      return;
    case BackendEventKind::kMouseButtonDown:
    case BackendEventKind::kMouseButtonUp: {
      const ButtonMessages messages = MessagesOf(event.button);
      const bool down = event.kind == BackendEventKind::kMouseButtonDown;
      ReportMousePosition(window, event.x, event.y);
      gButtonsHeld = down ? gButtonsHeld | messages.flag : gButtonsHeld & ~messages.flag;
      PostMessageA(window, down ? messages.down : messages.up, gButtonsHeld,
                   MakeMouseLParam(event.x, event.y));
      return;
    }
    case BackendEventKind::kKeyDown:
      if (const WPARAM key = VirtualKeyOf(event.scanCode); key != 0) {
        PostMessageA(window, WM_KEYDOWN, key, 0);
      }
      return;
    case BackendEventKind::kCharacter:
      PostMessageA(window, WM_CHAR, static_cast<WPARAM>(event.character), 0);
      return;
    case BackendEventKind::kClose:
      PostMessageA(window, WM_CLOSE, 0, 0);
      return;
    default:
      return;
  }
}

[[maybe_unused]] const bool gSinkSet =
    (SetEventSink(EventSinkKind::kWindow, &DeliverWindowEvent), true);

}  // namespace
}  // namespace platform
