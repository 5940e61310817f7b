#include "platform/kernel/last_error.h"

namespace {
thread_local DWORD tLastError = ERROR_SUCCESS;
}  // namespace

DWORD GetLastError() { return tLastError; }

void SetLastError(DWORD code) { tLastError = code; }
