#include "platform/kernel/message_box.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

std::atomic<bool> gEcho{true};
std::atomic<platform::MessageBoxPresenter> gPresenter{nullptr};

struct ShownRecord {
  std::mutex mutex;
  std::vector<platform::ShownMessageBox> boxes;
};

ShownRecord& Shown() {
  static ShownRecord record;
  return record;
}

}  // namespace

int MessageBoxA(void* owner, LPCSTR text, LPCSTR caption, UINT type) {
  // A null caption is shown as "Error", as Windows titles such a box.
  platform::ShownMessageBox box{caption != nullptr ? caption : "Error", text != nullptr ? text : "",
                                type};
  if (gEcho.load(std::memory_order_relaxed)) {
    std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
    std::fflush(stderr);
  }
  {
    ShownRecord& shown = Shown();
    std::lock_guard lock(shown.mutex);
    shown.boxes.push_back(box);
  }
  const platform::MessageBoxPresenter presenter = gPresenter.load();
  return presenter != nullptr && owner != nullptr ? presenter(owner, box.caption, box.text) : IDOK;
}

namespace platform {

void SetMessageBoxPresenter(MessageBoxPresenter presenter) { gPresenter.store(presenter); }

void SetMessageBoxEcho(bool echo) { gEcho.store(echo, std::memory_order_relaxed); }

std::vector<ShownMessageBox> ShownMessageBoxes() {
  ShownRecord& shown = Shown();
  std::lock_guard lock(shown.mutex);
  return shown.boxes;
}

void ClearShownMessageBoxes() {
  ShownRecord& shown = Shown();
  std::lock_guard lock(shown.mutex);
  shown.boxes.clear();
}

}  // namespace platform
