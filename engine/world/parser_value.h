// The value that each grammar symbol carries on the world-file parser's value stack: a number,
// a real, a vector or plane, an owned text, or an owned working record of a rule action. The
// automaton copies values on every shift and reduction, so a value is kept to 32 bytes: the
// payloads that never meet share one place.
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
  // Names, strings and user data: text ends with a NUL.
  R3X_PARSER_VALUE_TEXT = 4,
  // A working record of a rule action, freed by freeRecord unless an action takes it.
  R3X_PARSER_VALUE_RECORD = 5,
};

using R3xParserRecordFreeFn = void (*)(void* record);

struct R3xParserValue {
  R3xParserValueKind kind;
  // Also set beside a record (a surface part's marker, a given region list).
  std::int32_t number;
  // Which member is live follows the kind; a value without one reads zeros from each (the vector
  // comes first, so an empty initialiser clears all of them).
  union {
    float vector[4];
    float real;
    // r3xMalloc block, or null.
    char* text;
    void* record;
  };
  R3xParserRecordFreeFn freeRecord;
};

// Frees what the value still owns (its text, its record) and clears it. Actions that keep a
// text or a record take it first with parTakeText / parTakeRecord.
void parFreeParserValue(R3xParserValue* value);
// The value's text, now owned by the caller; the value keeps none. Null when it has none.
char* parTakeText(R3xParserValue* value);
// The value's working record, now owned by the caller; the value keeps none.
void* parTakeRecord(R3xParserValue* value);

// Values made by rule actions. Inline: the automaton makes one on nearly every reduction.
inline R3xParserValue parNoValue() { return R3xParserValue{}; }

inline R3xParserValue parNumberValue(std::int32_t number) {
  R3xParserValue value{};
  value.kind = R3X_PARSER_VALUE_NUMBER;
  value.number = number;
  return value;
}

inline R3xParserValue parRealValue(float real) {
  R3xParserValue value{};
  value.kind = R3X_PARSER_VALUE_REAL;
  value.real = real;
  return value;
}

inline R3xParserValue parVectorValue(float a, float b, float c, float d) {
  R3xParserValue value{};
  value.kind = R3X_PARSER_VALUE_VECTOR;
  value.vector[0] = a;
  value.vector[1] = b;
  value.vector[2] = c;
  value.vector[3] = d;
  return value;
}

inline R3xParserValue parTextValue(char* text) {
  R3xParserValue value{};
  value.kind = R3X_PARSER_VALUE_TEXT;
  value.text = text;
  return value;
}

// An owned working record, or (freeRecord null) a pointer to something the world owns.
inline R3xParserValue parRecordValue(void* record, R3xParserRecordFreeFn freeRecord) {
  R3xParserValue value{};
  value.kind = R3X_PARSER_VALUE_RECORD;
  value.record = record;
  value.freeRecord = freeRecord;
  return value;
}

inline bool parHasValue(const R3xParserValue* value) {
  return value->kind != R3X_PARSER_VALUE_NONE;
}
