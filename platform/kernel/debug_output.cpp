#include "platform/kernel/debug_output.h"

#include <cstdio>

void OutputDebugStringA(LPCSTR text) {
  if (text != nullptr) {
    std::fputs(text, stderr);
    std::fflush(stderr);
  }
}
