#include "platform/kernel/thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace {

struct ThreadState {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  DWORD exitCode = 0;
};

class ThreadObject : public platform::KernelObject {
 public:
  ThreadObject(LPTHREAD_START_ROUTINE routine, LPVOID parameter)
      : state_(std::make_shared<ThreadState>()) {
    auto state = state_;
    thread_ = std::thread([state, routine, parameter] {
      const DWORD code = routine(parameter);
      std::lock_guard lock(state->mutex);
      state->exitCode = code;
      state->finished = true;
      state->done.notify_all();
    });
  }
  ~ThreadObject() override {
    if (thread_.joinable()) {
      thread_.detach();
    }
  }
  DWORD Wait(DWORD milliseconds) {
    std::unique_lock lock(state_->mutex);
    if (milliseconds == INFINITE) {
      state_->done.wait(lock, [this] { return state_->finished; });
    } else if (!state_->done.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                      [this] { return state_->finished; })) {
      return WAIT_TIMEOUT;
    }
    return WAIT_OBJECT_0;
  }
  bool ExitCode(DWORD* code) {
    std::lock_guard lock(state_->mutex);
    *code = state_->finished ? state_->exitCode : 259;  // STILL_ACTIVE
    return true;
  }

 private:
  std::shared_ptr<ThreadState> state_;
  std::thread thread_;
};

}  // namespace

HANDLE CreateThread(void*, SIZE_T, LPTHREAD_START_ROUTINE routine, LPVOID parameter, DWORD,
                    DWORD* threadId) {
  static std::atomic<DWORD> nextId{1};
  std::shared_ptr<ThreadObject> object;
  try {
    object = std::make_shared<ThreadObject>(routine, parameter);
  } catch (const std::exception&) {
    return nullptr;
  }
  if (threadId != nullptr) {
    *threadId = nextId++;
  }
  return platform::IssueHandle(std::move(object));
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  const auto thread = platform::HandleAs<ThreadObject>(handle);
  return thread != nullptr ? thread->Wait(milliseconds) : WAIT_FAILED;
}

BOOL GetExitCodeThread(HANDLE handle, DWORD* exitCode) {
  const auto thread = platform::HandleAs<ThreadObject>(handle);
  return thread != nullptr && thread->ExitCode(exitCode) ? TRUE : FALSE;
}

HANDLE GetCurrentThread() { return platform::kCurrentThreadHandle; }

int GetThreadPriority(HANDLE) { return THREAD_PRIORITY_NORMAL; }

BOOL SetThreadPriority(HANDLE, int) { return TRUE; }

std::intptr_t _beginthread(void (*routine)(void*), unsigned, void* argument) {
  try {
    std::thread(routine, argument).detach();
  } catch (const std::exception&) {
    return -1;
  }
  return 0;
}
