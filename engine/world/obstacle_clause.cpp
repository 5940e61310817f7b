#include "engine/world/obstacle_clause.h"

#include "engine/core/memory.h"
#include "engine/world/obstacle_actions.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_list.h"
#include "engine/world/parse_result.h"

namespace {

// A cleared record: the spare one when the context holds one, else a new one (null when out of
// memory). A region holds many obstacles, read one after the other, so one record serves them.
R3xParsedObstacle* newParsedObstacle(R3xParseContext* context) {
  R3xParsedObstacle* parsed = context->spareObstacle;
  if (parsed != nullptr) {
    context->spareObstacle = nullptr;
    return parsed;
  }
  return static_cast<R3xParsedObstacle*>(r3xMalloc(sizeof(R3xParsedObstacle)));
}

}  // namespace

std::int32_t parNewParsedObstacle(R3xParseContext* context, std::int32_t kind,
                                  std::int32_t regionField, R3xParserValue* numbers,
                                  R3xParserValue* out) {
  R3xParsedObstacle* parsed = newParsedObstacle(context);
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

std::int32_t parNewParsedObstacleOf(R3xParseContext* context, std::int32_t kind,
                                    std::int32_t regionField, const std::int32_t* numbers,
                                    std::uint32_t count, R3xParserValue* out) {
  // Most obstacles are of these kinds: their numbers stay inside the record, so building one
  // costs a single allocation instead of a list value's two more.
  R3xParsedObstacle* parsed = newParsedObstacle(context);
  if (parsed == nullptr) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    parsed->fewNumbers[i] = numbers[i];
  }
  parsed->kind = kind;
  parsed->regionField = regionField;
  parsed->numbers.elementSize = sizeof(std::int32_t);
  parsed->numbers.count = count;
  parsed->numbers.capacity = count;
  parsed->numbers.declared = count;
  parsed->numbers.data = parsed->fewNumbers;
  *out = parRecordValue(parsed, parFreeParsedObstacle);
  return 0;
}

void parRecycleParsedObstacle(R3xParseContext* context, R3xParsedObstacle* obstacle) {
  if (obstacle == nullptr) {
    return;
  }
  parFreeObstacleNumbers(obstacle);
  r3xFree(obstacle->userData);
  *obstacle = R3xParsedObstacle{};
  r3xFree(context->spareObstacle);
  context->spareObstacle = obstacle;
}

void parFreeParsedObstacle(void* obstacle) {
  auto* parsed = static_cast<R3xParsedObstacle*>(obstacle);
  if (parsed != nullptr) {
    parFreeObstacleNumbers(parsed);
    r3xFree(parsed->userData);
    r3xFree(parsed);
  }
}
