#include "engine/world/obstacle_clause.h"

#include "engine/core/memory.h"
#include "engine/world/obstacle_actions.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/parse_result.h"

std::int32_t parNewParsedObstacle(R3xParseContext* context, std::int32_t kind,
                                  std::int32_t regionField, R3xParserValue* numbers,
                                  R3xParserValue* out) {
  auto* parsed = static_cast<R3xParsedObstacle*>(r3xMalloc(sizeof(R3xParsedObstacle)));
  if (parsed == nullptr) {
    parError(context, "out of memory");
    parFreeParserValue(numbers);
    return PAR_STOP;
  }
  parsed->kind = kind;
  parsed->regionField = regionField;
  parsed->numbers.elementSize = sizeof(std::int32_t);
  if (R3xParseList* list = parValueList(numbers); list != nullptr) {
    parsed->numbers.count = list->count;
    parsed->numbers.capacity = list->count;
    parsed->numbers.declared = list->count;
    parsed->numbers.data = parListDetach(list);
  }
  parFreeParserValue(numbers);
  *out = parRecordValue(parsed, parFreeParsedObstacle);
  return 0;
}

void parFreeParsedObstacle(void* obstacle) {
  auto* parsed = static_cast<R3xParsedObstacle*>(obstacle);
  if (parsed != nullptr) {
    parListFree(&parsed->numbers);
    r3xFree(parsed->userData);
    r3xFree(parsed);
  }
}
