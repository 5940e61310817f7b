// HandleAs for handles that come from callers: the pseudo-handles INVALID_HANDLE_VALUE and the
// current thread's are not objects, so they are refused before the kind is checked.
#pragma once

#include "platform/kernel/handle.h"

namespace platform {

template <typename T>
T* CheckedHandleAs(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE || handle == kCurrentThreadHandle) {
    return nullptr;
  }
  return HandleAs<T>(handle);
}

}  // namespace platform
