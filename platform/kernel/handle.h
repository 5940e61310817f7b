// Kernel objects behind HANDLE values. A handle is an id in one process-wide table, and ids are
// never issued twice: a closed, stale or never-issued handle finds no object and the call fails
// with ERROR_INVALID_HANDLE, as on the original platform, instead of reaching freed memory or
// an object opened later.
#pragma once

#include <memory>

#include "platform/kernel/last_error.h"
#include "platform/kernel/types.h"

namespace platform {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
  // Find handles, modules and registry keys have close calls of their own and refuse
  // CloseHandle.
  virtual bool ClosedByCloseHandle() const { return true; }
};

// Enters the object in the table under a new id.
HANDLE IssueHandle(std::shared_ptr<KernelObject> object);

// The object a handle names, or null for a closed, never-issued or pseudo handle. A call holds
// the object while it runs, so closing the handle meanwhile on another thread is safe.
std::shared_ptr<KernelObject> FindHandleObject(HANDLE handle);

// Takes the handle out of the table when `fits` accepts its object, and returns that object
// (ended once its last user lets go); null, with the table unchanged, otherwise.
std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle, bool (*fits)(const KernelObject&));

// The object behind a handle as the expected kind; null, with ERROR_INVALID_HANDLE as the last
// error, for any other handle.
template <typename T>
std::shared_ptr<T> HandleAs(HANDLE handle) {
  std::shared_ptr<T> object = std::dynamic_pointer_cast<T>(FindHandleObject(handle));
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
  }
  return object;
}

// Closes a handle of the expected kind: true, or false with ERROR_INVALID_HANDLE as the last
// error for any other handle.
template <typename T>
bool CloseHandleAs(HANDLE handle) {
  if (RemoveHandle(handle, [](const KernelObject& object) {
        return dynamic_cast<const T*>(&object) != nullptr;
      }) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return true;
}

// GetCurrentThread's pseudo-handle: a fixed value that the table never issues.
inline HANDLE const kCurrentThreadHandle = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));

}  // namespace platform

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Closes a file, file mapping or thread handle; the current thread's pseudo-handle closes as a
// no-op. FALSE with ERROR_INVALID_HANDLE for any other handle.
BOOL CloseHandle(HANDLE handle);
