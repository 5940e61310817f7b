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

void parClearTokenValue(R3xTokenValue* value) {
  r3xFree(value->text);
  *value = R3xTokenValue{};
}

void parSetNumberValue(R3xTokenValue* value, std::int32_t number) {
  parClearTokenValue(value);
  value->kind = R3X_VALUE_NUMBER;
  value->number = number;
}

void parSetRealValue(R3xTokenValue* value, float real) {
  parClearTokenValue(value);
  value->kind = R3X_VALUE_REAL;
  value->real = real;
}

void parSetTextValue(R3xTokenValue* value, char* text, std::uint32_t length) {
  parClearTokenValue(value);
  value->kind = R3X_VALUE_TEXT;
  value->text = text;
  value->length = length;
}
