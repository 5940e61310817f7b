#include "platform/kernel/handle.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace platform {
namespace {

// Ids step by 4, as the original platform's handles do, and start at 4: 0 (null), the
// pseudo-handles -1 and -2 and the predefined registry keys are never among them. A 64-bit
// counter does not run out.
constexpr std::uintptr_t kIdStep = 4;

class HandleTable {
 public:
  HANDLE Issue(std::shared_ptr<KernelObject> object) {
    std::lock_guard lock(mutex_);
    lastId_ += kIdStep;
    objects_.emplace(lastId_, std::move(object));
    return reinterpret_cast<HANDLE>(lastId_);
  }

  std::shared_ptr<KernelObject> Find(HANDLE handle) {
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    return found != objects_.end() ? found->second : nullptr;
  }

  std::shared_ptr<KernelObject> Remove(HANDLE handle, bool (*fits)(const KernelObject&)) {
    std::lock_guard lock(mutex_);
    const auto found = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == objects_.end() || !fits(*found->second)) {
      return nullptr;
    }
    std::shared_ptr<KernelObject> object = std::move(found->second);
    objects_.erase(found);
    // Ended by the caller, outside the lock: unloading a module runs its destructors, and
    // those may close handles of their own.
    return object;
  }

 private:
  std::mutex mutex_;
  std::uintptr_t lastId_ = 0;
  std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects_;
};

// Never destroyed: modules unloaded during the process's exit still close their handles.
HandleTable& Table() {
  static auto* table = new HandleTable;
  return *table;
}

}  // namespace

HANDLE IssueHandle(std::shared_ptr<KernelObject> object) {
  return Table().Issue(std::move(object));
}

std::shared_ptr<KernelObject> FindHandleObject(HANDLE handle) { return Table().Find(handle); }

std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle, bool (*fits)(const KernelObject&)) {
  return Table().Remove(handle, fits);
}

}  // namespace platform

BOOL CloseHandle(HANDLE handle) {
  if (handle == platform::kCurrentThreadHandle) {
    return TRUE;
  }
  if (platform::RemoveHandle(handle, [](const platform::KernelObject& object) {
        return object.ClosedByCloseHandle();
      }) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
