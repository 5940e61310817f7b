#include "platform/window/screen_point.h"

#include <atomic>

#include "platform/window/window.h"

namespace {

std::atomic<LONG> gMouseX{0};
std::atomic<LONG> gMouseY{0};

}  // namespace

BOOL ClientToScreen(HWND window, POINT* point) {
  platform::WindowState state{};
  if (point == nullptr || !platform::GetWindowState(window, state)) {
    return FALSE;
  }
  point->x += state.x;
  point->y += state.y;
  return TRUE;
}

BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) {
    return FALSE;
  }
  point->x = gMouseX.load();
  point->y = gMouseY.load();
  return TRUE;
}

namespace platform {

void ReportMousePosition(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  gMouseX.store(point.x);
  gMouseY.store(point.y);
}

}  // namespace platform
