#include "platform/backend/headless_backend.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

#include "platform/backend/frame_png.h"

namespace platform {
namespace {

// Writing a picture costs as much as drawing a few frames: at 60 frames a second the file is
// brought up to date about once a second, and whenever the window goes or the backend is
// replaced or ends, so that it always ends up holding the last frame shown.
constexpr std::size_t kPresentsPerWrite = 60;

}  // namespace

HeadlessBackend::HeadlessBackend(std::vector<BackendEvent> script) : script_(std::move(script)) {}

HeadlessBackend::~HeadlessBackend() { WritePendingFrame(); }

bool HeadlessBackend::PollEvent(DWORD now, BackendEvent& event) {
  // Wrap-safe: the clock wraps at 2^32 ms.
  if (next_ == script_.size() || static_cast<std::int32_t>(script_[next_].time - now) > 0) {
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
// state of the window services. When ARENA_FRAME_FILE names a file, the frames shown are written
// to it as a PNG picture, each replacing the one before.
void HeadlessBackend::ShowWindow(const std::string& /*title*/, int /*width*/, int /*height*/) {}
void HeadlessBackend::HideWindow() { WritePendingFrame(); }
void HeadlessBackend::SetCursorVisible(bool /*visible*/) {}

void HeadlessBackend::Present(const Frame& frame) {
  const char* path = std::getenv("ARENA_FRAME_FILE");
  if (path == nullptr || *path == '\0') {
    return;
  }
  pending_.width = frame.width;
  pending_.height = frame.height;
  pending_.bitsPerPixel = frame.bitsPerPixel;
  pending_.pixels.assign(frame.pixels.begin(), frame.pixels.end());
  pending_.palette.assign(frame.palette.begin(), frame.palette.end());
  pendingPath_ = path;
  pendingWrite_ = true;
  // The first frame is written at once: a picture exists as soon as anything was shown.
  if (presentsSinceWrite_ == 0 || presentsSinceWrite_ >= kPresentsPerWrite) {
    WritePendingFrame();
  }
  ++presentsSinceWrite_;
}

void HeadlessBackend::WritePendingFrame() {
  if (!pendingWrite_) {
    return;
  }
  pendingWrite_ = false;
  presentsSinceWrite_ = 0;
  WriteFramePng(pending_, pendingPath_);
}

}  // namespace platform
