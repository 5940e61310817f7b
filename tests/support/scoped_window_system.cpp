#include "tests/support/scoped_window_system.h"

#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace test_support {
namespace {

void ResetWindowSystem() {
  platform::ResetWindows();
  platform::ResetMessageQueues();
  platform::UnregisterAllClasses();
}

}  // namespace

ScopedWindowSystem::ScopedWindowSystem() { ResetWindowSystem(); }

ScopedWindowSystem::~ScopedWindowSystem() { ResetWindowSystem(); }

HWND CreateShownWindow(const char* className, WNDPROC procedure) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, className, className, WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                         nullptr, nullptr);
}

}  // namespace test_support
