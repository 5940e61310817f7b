#include "engine/world/parser_value.h"

#include "engine/core/memory.h"

void parFreeParserValue(R3xParserValue* value) {
  if (value->kind == R3X_PARSER_VALUE_TEXT) {
    r3xFree(value->text);
  } else if (value->kind == R3X_PARSER_VALUE_RECORD && value->record != nullptr &&
             value->freeRecord != nullptr) {
    value->freeRecord(value->record);
  }
  *value = R3xParserValue{};
}

char* parTakeText(R3xParserValue* value) {
  if (value->kind != R3X_PARSER_VALUE_TEXT) {
    return nullptr;
  }
  char* text = value->text;
  value->text = nullptr;
  return text;
}

void* parTakeRecord(R3xParserValue* value) {
  if (value->kind != R3X_PARSER_VALUE_RECORD) {
    return nullptr;
  }
  void* record = value->record;
  value->record = nullptr;
  value->freeRecord = nullptr;
  return record;
}
