// The value of the last token a world-file scanner read: a number, a real or an owned text.
// Results: texts or null.
#pragma once

#include <cstdint>

enum R3xTokenValueKind : std::uint32_t {
  R3X_VALUE_NONE = 0,
  // Integers, render methods and USERDEFINED.
  R3X_VALUE_NUMBER = 1,
  R3X_VALUE_REAL = 2,
  // Names, strings, user data and binary blocks.
  R3X_VALUE_TEXT = 3,
};

struct R3xTokenValue {
  R3xTokenValueKind kind;
  std::int32_t number;
  float real;
  // An r3xMalloc block of length bytes and a NUL after them; the bytes may hold NULs of their
  // own (user data, binary blocks), so length, not the NUL, tells where they end.
  char* text;
  std::uint32_t length;
};

// A NUL-terminated r3xMalloc copy of length bytes, or null when out of memory.
char* parNewText(const void* bytes, std::uint32_t length);

// Each setter frees a text the value still owns: whoever wants a text must take it (and clear
// the value's pointer) before the next token is read. Inline: the scanners set one per token.
void parFreeTokenText(R3xTokenValue* value);

inline void parClearTokenValue(R3xTokenValue* value) {
  if (value->text != nullptr) {
    parFreeTokenText(value);
  }
  *value = R3xTokenValue{};
}

inline void parSetNumberValue(R3xTokenValue* value, std::int32_t number) {
  parClearTokenValue(value);
  value->kind = R3X_VALUE_NUMBER;
  value->number = number;
}

inline void parSetRealValue(R3xTokenValue* value, float real) {
  parClearTokenValue(value);
  value->kind = R3X_VALUE_REAL;
  value->real = real;
}

// Takes ownership of text, a block made by parNewText or of the same form.
inline void parSetTextValue(R3xTokenValue* value, char* text, std::uint32_t length) {
  parClearTokenValue(value);
  value->kind = R3X_VALUE_TEXT;
  value->text = text;
  value->length = length;
}
