#include "platform/backend/headless_backend.h"

#include <cstdlib>
#include <utility>

#include "platform/backend/frame_png.h"

namespace platform {

HeadlessBackend::HeadlessBackend(std::vector<BackendEvent> script) : script_(std::move(script)) {}

bool HeadlessBackend::PollEvent(DWORD now, BackendEvent& event) {
  if (next_ == script_.size() || script_[next_].time > now) {
    return false;
  }
  event = script_[next_++];
  return true;
}

std::optional<DWORD> HeadlessBackend::NextEventTime() const {
  if (next_ == script_.size()) {
    return std::nullopt;
  }
  return script_[next_].time;
}

// Nothing is displayed: the frames are kept by ShowFrame, the window and cursor exist only as
// state of the window services. When ARENA_FRAME_FILE names a file, each frame shown is written
// to it as a PNG picture, replacing the one before.
void HeadlessBackend::ShowWindow(const std::string& /*title*/, int /*width*/, int /*height*/) {}
void HeadlessBackend::HideWindow() {}
void HeadlessBackend::SetCursorVisible(bool /*visible*/) {}
void HeadlessBackend::Present(const Frame& frame) {
  const char* path = std::getenv("ARENA_FRAME_FILE");
  if (path != nullptr && *path != '\0') {
    WriteFramePng(frame, path);
  }
}

}  // namespace platform
