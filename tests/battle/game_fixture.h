// What a test of the library entry needs: a fresh window system with the host's window, a
// scratch working folder for "arena.log", and a host record pointing at both.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "host/interface/host_record.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"
#include "tests/support/scoped_window_system.h"
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
    window_ = test_support::CreateShownWindow("host_wc", HostWindowProc);
    HostMessages().clear();
    host_.window = window_;
  }

  WNDPROC WindowProcedure() const {
    WNDPROC procedure = nullptr;
    std::thread::id thread;
    platform::GetWindowTarget(window_, procedure, thread);
    return procedure;
  }

  std::string Log() const { return test_support::ReadTestFile(folder_.Path() / "arena.log"); }

  test_support::ScopedWindowSystem windowSystem_;
  test_support::ScratchFolder folder_{"battle"};
  test_support::ScopedWorkingFolder working_{folder_.Path()};
  HWND window_ = nullptr;
  HostRecord host_{};
};

}  // namespace test
