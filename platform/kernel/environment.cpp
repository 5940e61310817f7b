#include "platform/kernel/environment.h"

#include <cstdlib>
#include <cstring>

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  const char* value = name != nullptr ? std::getenv(name) : nullptr;
  if (value == nullptr) {
    return 0;
  }
  const std::size_t length = std::strlen(value);
  if (buffer == nullptr || length >= size) {
    return static_cast<DWORD>(length + 1);
  }
  std::memcpy(buffer, value, length + 1);
  return static_cast<DWORD>(length);
}
