// The default backend: no display; input comes from a script of timed events.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/backend/display_backend.h"

namespace platform {

class HeadlessBackend : public DisplayBackend {
 public:
  explicit HeadlessBackend(std::vector<BackendEvent> script = {});
  ~HeadlessBackend() override;
  HeadlessBackend(const HeadlessBackend&) = delete;
  HeadlessBackend& operator=(const HeadlessBackend&) = delete;
  bool PollEvent(DWORD now, BackendEvent& event) override;
  std::optional<DWORD> NextEventTime() const override;
  void ShowWindow(const std::string& title, int width, int height) override;
  void HideWindow() override;
  void SetCursorVisible(bool visible) override;
  void Present(const Frame& frame) override;

 private:
  void WritePendingFrame();

  std::vector<BackendEvent> script_;
  std::size_t next_ = 0;
  // The last frame shown that the frame file does not hold yet, and where it goes.
  Frame pending_;
  std::string pendingPath_;
  bool pendingWrite_ = false;
  std::size_t presentsSinceWrite_ = 0;
};

}  // namespace platform
