// A fresh window system for one test: no windows, message queues or window classes when the
// scope starts, and none left behind when it ends.
#pragma once

#include "platform/window/handles.h"

namespace test_support {

class ScopedWindowSystem {
 public:
  ScopedWindowSystem();
  ~ScopedWindowSystem();
  ScopedWindowSystem(const ScopedWindowSystem&) = delete;
  ScopedWindowSystem& operator=(const ScopedWindowSystem&) = delete;
};

// A shown 640 x 480 window of a new class `className` with the given procedure; null on failure.
HWND CreateShownWindow(const char* className, WNDPROC procedure);

}  // namespace test_support
