// The value that each grammar symbol carries on the world-file parser's value stack: a number,
// a real, a vector or plane, an owned text, or an owned working record of a rule action.
// Results: values.
#pragma once

#include <cstdint>

enum R3xParserValueKind : std::uint32_t {
  R3X_PARSER_VALUE_NONE = 0,
  // Integers, flags, render methods.
  R3X_PARSER_VALUE_NUMBER = 1,
  R3X_PARSER_VALUE_REAL = 2,
  // Three (xyz) or four (plane a, b, c, d) floats.
  R3X_PARSER_VALUE_VECTOR = 3,
  // Names, strings and user data: text holds length bytes and a NUL after them.
  R3X_PARSER_VALUE_TEXT = 4,
  // A working record of a rule action, freed by freeRecord unless an action takes it.
  R3X_PARSER_VALUE_RECORD = 5,
};

using R3xParserRecordFreeFn = void (*)(void* record);

struct R3xParserValue {
  R3xParserValueKind kind;
  std::int32_t number;
  float real;
  float vector[4];
  // r3xMalloc block, or null.
  char* text;
  std::uint32_t length;
  void* record;
  R3xParserRecordFreeFn freeRecord;
};

// Frees what the value still owns (its text, its record) and clears it. Actions that keep a
// text or a record take it first with parTakeText / parTakeRecord.
void parFreeParserValue(R3xParserValue* value);
// The value's text, now owned by the caller; the value keeps none. Null when it has none.
char* parTakeText(R3xParserValue* value);
// The value's working record, now owned by the caller; the value keeps none.
void* parTakeRecord(R3xParserValue* value);

// Values made by rule actions.
R3xParserValue parNoValue();
R3xParserValue parNumberValue(std::int32_t number);
R3xParserValue parRealValue(float real);
R3xParserValue parVectorValue(float a, float b, float c, float d);
// An owned working record, or (freeRecord null) a pointer to something the world owns.
R3xParserValue parRecordValue(void* record, R3xParserRecordFreeFn freeRecord);
bool parHasValue(const R3xParserValue* value);
