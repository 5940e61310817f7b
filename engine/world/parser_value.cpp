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
