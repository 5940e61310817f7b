#include "engine/world/token_value.h"

#include <cstring>

#include "engine/core/memory.h"

char* parNewText(const void* bytes, std::uint32_t length) {
  // r3xMalloc clears the block, which leaves the NUL after the copied bytes.
  char* text = static_cast<char*>(r3xMalloc(std::size_t{length} + 1));
  if (text != nullptr && length > 0) {
    std::memcpy(text, bytes, length);
  }
  return text;
}

void parFreeTokenText(R3xTokenValue* value) {
  r3xFree(value->text);
  value->text = nullptr;
}
