#include "engine/world/parser_value.h"

#include "engine/core/memory.h"

void parFreeParserValue(R3xParserValue* value) {
  r3xFree(value->text);
  if (value->record != nullptr && value->freeRecord != nullptr) {
    value->freeRecord(value->record);
  }
  *value = R3xParserValue{};
}

char* parTakeText(R3xParserValue* value) {
  char* text = value->text;
  value->text = nullptr;
  value->length = 0;
  return text;
}

void* parTakeRecord(R3xParserValue* value) {
  void* record = value->record;
  value->record = nullptr;
  value->freeRecord = nullptr;
  return record;
}

R3xParserValue parNoValue() { return R3xParserValue{}; }

R3xParserValue parNumberValue(std::int32_t number) {
  R3xParserValue value{};
  value.kind = R3X_PARSER_VALUE_NUMBER;
  value.number = number;
  return value;
}

R3xParserValue parRealValue(float real) {
  R3xParserValue value{};
  value.kind = R3X_PARSER_VALUE_REAL;
  value.real = real;
  return value;
}

R3xParserValue parVectorValue(float a, float b, float c, float d) {
  R3xParserValue value{};
  value.kind = R3X_PARSER_VALUE_VECTOR;
  value.vector[0] = a;
  value.vector[1] = b;
  value.vector[2] = c;
  value.vector[3] = d;
  return value;
}

R3xParserValue parRecordValue(void* record, R3xParserRecordFreeFn freeRecord) {
  R3xParserValue value{};
  value.kind = R3X_PARSER_VALUE_RECORD;
  value.record = record;
  value.freeRecord = freeRecord;
  return value;
}

bool parHasValue(const R3xParserValue* value) { return value->kind != R3X_PARSER_VALUE_NONE; }
