// The debugger output: standard error.
#pragma once

#include "platform/kernel/types.h"

void OutputDebugStringA(LPCSTR text);
