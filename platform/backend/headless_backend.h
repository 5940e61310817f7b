// The default backend: no display; input comes from a script of timed events.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/backend/display_backend.h"

namespace platform {

class HeadlessBackend : public DisplayBackend {
 public:
  explicit HeadlessBackend(std::vector<BackendEvent> script = {});
  bool PollEvent(DWORD now, BackendEvent& event) override;
  std::optional<DWORD> NextEventTime() const override;
  void ShowWindow(const std::string& title, int width, int height) override;
  void HideWindow() override;
  void SetCursorVisible(bool visible) override;
  void Present(const Frame& frame) override;

 private:
  std::vector<BackendEvent> script_;
  std::size_t next_ = 0;
};

}  // namespace platform
