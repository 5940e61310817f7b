#include "platform/window/paint.h"

#include "platform/window/window.h"

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  platform::WindowState state{};
  if (paint == nullptr || !platform::GetWindowState(window, state)) {
    return nullptr;
  }
  *paint = PAINTSTRUCT{};
  paint->rcPaint = RECT{0, 0, state.width, state.height};
  return nullptr;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  platform::WindowState state{};
  return paint != nullptr && platform::GetWindowState(window, state) ? TRUE : FALSE;
}
