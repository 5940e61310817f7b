// A library for the host's tests. Each call appends one line to "calls.log" in the working
// folder and returns the next code of HOST_TEST_CODES: the n-th word for the n-th call of any
// library in the run (the log's line count), 0 past the end. The line tells which file ran, how
// often this load ran (always 1 when the host unloads it after each call), whether the host's
// objects were ready, and the screen width the record held, which each call raises by one.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/interface/host_record.h"
#include "platform/ddraw.h"
#include "platform/win32.h"

namespace {

int gCallsOfThisLoad = 0;

bool HostObjectsReady(const HostRecord& record) {
  platform::WindowState state;
  const platform::DisplayMode mode = platform::GetDisplayMode();
  return platform::GetWindowState(record.window, state) && state.style == (WS_POPUP | WS_VISIBLE) &&
         mode.width == 640 && mode.height == 480 && mode.bitsPerPixel == 8 &&
         record.directDraw != nullptr && record.primarySurface != nullptr &&
         record.directInput != nullptr && record.keyboard.device != nullptr;
}

int CountLines(const char* fileName) {
  std::ifstream file(fileName);
  int lines = 0;
  for (std::string line; std::getline(file, line);) {
    ++lines;
  }
  return lines;
}

int ScriptedCode(int call) {
  const char* codes = std::getenv("HOST_TEST_CODES");
  std::istringstream words(codes != nullptr ? codes : "");
  int code = 0;
  for (int i = 0; i <= call; ++i) {
    if (!(words >> code)) {
      return 0;
    }
  }
  return code;
}

}  // namespace

extern "C" int dll_main(HMODULE module, HostRecord* record) {
  ++gCallsOfThisLoad;
  char path[512];
  GetModuleFileNameA(module, path, sizeof path);
  const int call = CountLines("calls.log");
  std::ofstream("calls.log", std::ios::app)
      << std::filesystem::path(path).filename().string() << " loads=" << gCallsOfThisLoad
      << " ready=" << HostObjectsReady(*record) << " width=" << record->screenWidth << '\n';
  ++record->screenWidth;
  return ScriptedCode(call);
}
