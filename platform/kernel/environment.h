// Environment variables.
#pragma once

#include "platform/kernel/types.h"

// Copies the value of `name` into the buffer. Returns the value's length without the
// terminating NUL when it fits; when the buffer is too small it is left as it is and the size
// needed (with the NUL) is returned; 0 when the variable is not set.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
