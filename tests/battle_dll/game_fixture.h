// What a test of the library entry needs: a fresh window system with the host's window, a
// scratch working folder for "arena.log", and a host record pointing at both.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/host_record.h"
#include "platform/window/message_queue.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

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

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class GameFixture : public ::testing::Test {
 protected:
  GameFixture() {
    ResetWindowSystem();
    std::string pattern = (std::filesystem::temp_directory_path() / "battle-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
      folder_ = pattern;
    }
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.lpszClassName = "host_wc";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "host_wc", "Host", WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                              nullptr, nullptr);
    HostMessages().clear();
    host_.window = window_;
  }

  ~GameFixture() override {
    std::filesystem::current_path(previousFolder_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    ResetWindowSystem();
  }

  WNDPROC WindowProcedure() const {
    WNDPROC procedure = nullptr;
    std::thread::id thread;
    platform::GetWindowTarget(window_, procedure, thread);
    return procedure;
  }

  std::string Log() const { return ReadFile(folder_ / "arena.log"); }

  std::filesystem::path folder_;
  HWND window_ = nullptr;
  HostRecord host_{};

 private:
  static void ResetWindowSystem() {
    platform::ResetWindows();
    platform::ResetMessageQueues();
    platform::UnregisterAllClasses();
  }

  std::filesystem::path previousFolder_;
};

}  // namespace test
