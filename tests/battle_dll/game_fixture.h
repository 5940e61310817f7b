// What a test of the library entry needs: a fresh window system with the host's window, a
// scratch working folder for "arena.log", and a host record pointing at both.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "host/host_record.h"
#include "platform/window/message_queue.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace test {

// Messages that reached the host's own window procedure.
inline std::vector<UINT>& HostMessages() {
  static std::vector<UINT> messages;
  return messages;
}

// The host's procedure: records the message and answers 7, which no game answer is.
inline LRESULT HostWindowProc(HWND /*window*/, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
  HostMessages().push_back(message);
  return 7;
}

class GameFixture : public ::testing::Test {
 protected:
  GameFixture() {
    ResetWindowSystem();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.lpszClassName = "host_wc";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "host_wc", "Host", WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                              nullptr, nullptr);
    HostMessages().clear();
    host_.window = window_;
  }

  ~GameFixture() override { ResetWindowSystem(); }

  WNDPROC WindowProcedure() const {
    WNDPROC procedure = nullptr;
    std::thread::id thread;
    platform::GetWindowTarget(window_, procedure, thread);
    return procedure;
  }

  std::string Log() const { return test_support::ReadTestFile(folder_.Path() / "arena.log"); }

  test_support::ScratchFolder folder_{"battle"};
  test_support::ScopedWorkingFolder working_{folder_.Path()};
  HWND window_ = nullptr;
  HostRecord host_{};

 private:
  static void ResetWindowSystem() {
    platform::ResetWindows();
    platform::ResetMessageQueues();
    platform::UnregisterAllClasses();
  }
};

}  // namespace test
