// Kernel objects behind HANDLE values: every kind derives from KernelObject, and CloseHandle
// destroys whichever kind it is given.
#pragma once

#include "platform/kernel/types.h"

namespace platform {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// The object behind a handle as the expected kind, or null for any other handle.
template <typename T>
T* HandleAs(HANDLE handle) {
  return dynamic_cast<T*>(static_cast<KernelObject*>(handle));
}

inline HANDLE ToHandle(KernelObject* object) { return static_cast<HANDLE>(object); }

// GetCurrentThread's pseudo-handle: a fixed value that no object has.
inline HANDLE const kCurrentThreadHandle = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));

}  // namespace platform

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

BOOL CloseHandle(HANDLE handle);
