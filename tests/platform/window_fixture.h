// A fresh window system on the headless backend with a virtual clock, and a window procedure
// that records what it receives.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "platform/backend/display_backend.h"
#include "platform/backend/headless_backend.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/kernel/clock.h"
#include "platform/window/message_queue.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"
#include "tests/support/scoped_window_system.h"

struct ReceivedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;

  friend bool operator==(const ReceivedMessage&, const ReceivedMessage&) = default;
};

inline std::vector<ReceivedMessage>& Received() {
  static std::vector<ReceivedMessage> received;
  return received;
}

// Records every message and answers 7, so that a test can tell it from the default answer 0.
inline LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Received().push_back({window, message, wParam, lParam});
  return 7;
}

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() { Reset(); }
  ~WindowTest() override { Reset(); }

  void UseScript(std::vector<platform::BackendEvent> events) {
    platform::SetDisplayBackend(std::make_unique<platform::HeadlessBackend>(std::move(events)));
  }

  // A shown window of the class "test_wc" (procedure DefWindowProcA) whose procedure is then
  // replaced by the recording one.
  HWND CreateRecordedWindow() {
    const HWND window = test_support::CreateShownWindow("test_wc", DefWindowProcA);
    SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc));
    Received().clear();
    return window;
  }

  test_support::ScopedWindowSystem windowSystem_;
  platform::VirtualClock clock_{1000};
  platform::ScopedProcessClock scopedClock_{clock_};

 private:
  void Reset() {
    platform::ResetDisplayMode();
    platform::ClearShownFrames();
    UseScript({});
    Received().clear();
  }
};

inline platform::BackendEvent KeyEvent(DWORD time, int scanCode, bool pressed) {
  platform::BackendEvent event{};
  event.kind = pressed ? platform::BackendEventKind::kKeyDown : platform::BackendEventKind::kKeyUp;
  event.time = time;
  event.scanCode = scanCode;
  return event;
}

inline platform::BackendEvent SimpleEvent(DWORD time, platform::BackendEventKind kind) {
  platform::BackendEvent event{};
  event.kind = kind;
  event.time = time;
  return event;
}
