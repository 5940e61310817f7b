#include "platform/backend/display_backend.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "platform/backend/headless_backend.h"
#include "platform/backend/input_script.h"
#include "platform/backend/sdl_module.h"
#include "platform/kernel/clock.h"

namespace platform {
namespace {

struct BackendRecord {
  std::mutex mutex;
  std::unique_ptr<DisplayBackend> backend;
  std::optional<Frame> lastFrame;
  std::size_t frameCount = 0;
};

BackendRecord& Record() {
  static BackendRecord record;
  return record;
}

std::unique_ptr<DisplayBackend> CreateHeadlessFromEnvironment() {
  const char* path = std::getenv("ARENA_INPUT_SCRIPT");
  if (path == nullptr || *path == '\0') {
    return std::make_unique<HeadlessBackend>();
  }
  // A folder opens as a stream on Linux and reads as empty: refuse it by name.
  std::error_code ignored;
  const bool folder = std::filesystem::is_directory(path, ignored);
  std::ifstream file(path, std::ios::binary);
  if (folder || !file) {
    std::fprintf(stderr, "ARENA_INPUT_SCRIPT: cannot open %s: %s; running without input\n", path,
                 folder ? "it is a folder, not a file" : std::strerror(errno));
    return std::make_unique<HeadlessBackend>();
  }
  std::ostringstream text;
  text << file.rdbuf();
  InputScript script = ParseInputScript(text.str());
  for (const std::string& error : script.errors) {
    std::fprintf(stderr, "input script %s: %s (skipped)\n", path, error.c_str());
  }
  // The script counts from the process's start; the backend compares clock readings.
  const DWORD start = GetProcessClock().StartMilliseconds();
  for (BackendEvent& event : script.events) {
    event.time += start;
  }
  return std::make_unique<HeadlessBackend>(std::move(script.events));
}

}  // namespace

std::unique_ptr<DisplayBackend> CreateDisplayBackendFromEnvironment() {
  const char* display = std::getenv("ARENA_DISPLAY");
  const std::string_view choice = display != nullptr ? display : "";
  if (choice == "sdl") {
    std::string whyNot;
    if (const SdlModuleExports* module = LoadSdlModule(whyNot)) {
      if (auto sdl = module->createBackend(whyNot)) {
        return sdl;
      }
    }
    std::fprintf(stderr, "ARENA_DISPLAY=sdl: %s; running headless\n", whyNot.c_str());
  } else if (!choice.empty() && choice != "headless") {
    std::fprintf(stderr, "ARENA_DISPLAY=%s: unknown display, running headless\n", display);
  }
  return CreateHeadlessFromEnvironment();
}

DisplayBackend& GetDisplayBackend() {
  BackendRecord& record = Record();
  std::lock_guard lock(record.mutex);
  if (!record.backend) {
    record.backend = CreateDisplayBackendFromEnvironment();
  }
  return *record.backend;
}

std::unique_ptr<DisplayBackend> SetDisplayBackend(std::unique_ptr<DisplayBackend> backend) {
  BackendRecord& record = Record();
  std::lock_guard lock(record.mutex);
  return std::exchange(record.backend, std::move(backend));
}

std::vector<BYTE> ShowFrame(Frame frame) {
  GetDisplayBackend().Present(frame);
  BackendRecord& record = Record();
  std::lock_guard lock(record.mutex);
  std::vector<BYTE> spare;
  if (record.lastFrame) {
    spare = std::move(record.lastFrame->pixels);
  }
  record.lastFrame = std::move(frame);
  ++record.frameCount;
  return spare;
}

std::optional<Frame> LastShownFrame() {
  BackendRecord& record = Record();
  std::lock_guard lock(record.mutex);
  return record.lastFrame;
}

std::size_t ShownFrameCount() {
  BackendRecord& record = Record();
  std::lock_guard lock(record.mutex);
  return record.frameCount;
}

void ClearShownFrames() {
  BackendRecord& record = Record();
  std::lock_guard lock(record.mutex);
  record.lastFrame.reset();
  record.frameCount = 0;
}

}  // namespace platform
