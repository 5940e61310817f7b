#include "engine/core/string_copy.h"

#include <cstring>

#include "engine/core/memory.h"

char* _r3xCopyString(const char* text) {
  if (text == nullptr) {
    return nullptr;
  }
  const std::size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(r3xMalloc(size));
  if (copy != nullptr) {
    std::memcpy(copy, text, size);
  }
  return copy;
}
