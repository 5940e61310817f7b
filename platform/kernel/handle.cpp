#include "platform/kernel/handle.h"

BOOL CloseHandle(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
    return FALSE;
  }
  if (handle == platform::kCurrentThreadHandle) {
    return TRUE;
  }
  delete static_cast<platform::KernelObject*>(handle);
  return TRUE;
}
