#include "platform/window/message_queue.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "platform/backend/display_backend.h"
#include "platform/backend/event_pump.h"
#include "platform/kernel/clock.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"

namespace {

struct ThreadQueue {
  std::deque<MSG> messages;
  bool quitPending = false;
  int quitCode = 0;
};

struct QueueTable {
  std::mutex mutex;
  std::condition_variable posted;
  std::map<std::thread::id, ThreadQueue> queues;
};

QueueTable& Queues() {
  static QueueTable table;
  return table;
}

struct Filter {
  HWND window;
  UINT min;
  UINT max;

  bool InRange(UINT message) const {
    return (min == 0 && max == 0) || (message >= min && message <= max);
  }
  bool Matches(const MSG& message) const {
    return (window == nullptr || message.hwnd == window) && InRange(message.message);
  }
};

// The first matching message of the calling thread's queue, removed when asked. Caller holds the
// table's lock.
bool Take(QueueTable& table, const Filter& filter, bool remove, MSG& out) {
  ThreadQueue& queue = table.queues[std::this_thread::get_id()];
  const auto found = std::find_if(queue.messages.begin(), queue.messages.end(),
                                  [&](const MSG& message) { return filter.Matches(message); });
  if (found != queue.messages.end()) {
    out = *found;
    if (remove) {
      queue.messages.erase(found);
    }
    return true;
  }
  if (queue.quitPending && filter.window == nullptr && filter.InRange(WM_QUIT)) {
    out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, timeGetTime()};
    if (remove) {
      queue.quitPending = false;
    }
    return true;
  }
  return false;
}

// Real time that a waiting GetMessageA lets pass between looks at the backend when it has no
// scripted event to sleep until.
constexpr std::chrono::milliseconds kWaitSlice{10};

}  // namespace

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
  if (message == nullptr) {
    return FALSE;
  }
  platform::PumpBackendEvents();
  QueueTable& table = Queues();
  std::lock_guard lock(table.mutex);
  return Take(table, Filter{window, filterMin, filterMax}, (remove & PM_REMOVE) != 0, *message)
             ? TRUE
             : FALSE;
}

BOOL GetMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
  if (message == nullptr) {
    return -1;
  }
  const Filter filter{window, filterMin, filterMax};
  for (;;) {
    platform::PumpBackendEvents();
    QueueTable& table = Queues();
    std::unique_lock lock(table.mutex);
    if (Take(table, filter, true, *message)) {
      return message->message == WM_QUIT ? 0 : 1;
    }
    const std::optional<DWORD> next = platform::GetDisplayBackend().NextEventTime();
    if (next) {
      lock.unlock();
      // Wrap-safe: the clock wraps at 2^32 ms.
      const auto wait = static_cast<std::int32_t>(*next - timeGetTime());
      Sleep(wait > 0 ? static_cast<DWORD>(wait) : 0);
    } else {
      table.posted.wait_for(lock, kWaitSlice);
    }
  }
}

BOOL TranslateMessage(const MSG* /*message*/) { return FALSE; }

LRESULT DispatchMessageA(const MSG* message) {
  if (message == nullptr || message->hwnd == nullptr) {
    return 0;
  }
  return SendMessageA(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC procedure;
  std::thread::id thread;
  if (!platform::GetWindowTarget(window, procedure, thread)) {
    return 0;
  }
  return procedure(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::thread::id thread = std::this_thread::get_id();
  if (window != nullptr) {
    WNDPROC procedure;
    if (!platform::GetWindowTarget(window, procedure, thread)) {
      return FALSE;
    }
  }
  QueueTable& table = Queues();
  {
    std::lock_guard lock(table.mutex);
    table.queues[thread].messages.push_back(MSG{window, message, wParam, lParam, timeGetTime()});
  }
  table.posted.notify_all();
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  QueueTable& table = Queues();
  {
    std::lock_guard lock(table.mutex);
    ThreadQueue& queue = table.queues[std::this_thread::get_id()];
    queue.quitPending = true;
    queue.quitCode = exitCode;
  }
  table.posted.notify_all();
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
  if (message == WM_CLOSE) {
    DestroyWindow(window);
  }
  return 0;
}

namespace platform {

void DropQueuedMessages(HWND window) {
  QueueTable& table = Queues();
  std::lock_guard lock(table.mutex);
  for (auto& [thread, queue] : table.queues) {
    std::erase_if(queue.messages, [&](const MSG& message) { return message.hwnd == window; });
  }
}

void ResetMessageQueues() {
  QueueTable& table = Queues();
  std::lock_guard lock(table.mutex);
  table.queues.clear();
}

}  // namespace platform
