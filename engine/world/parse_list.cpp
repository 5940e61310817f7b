#include "engine/world/parse_list.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/world/parse_result.h"

std::int32_t parListInit(R3xParseList* list, std::uint32_t elementSize, std::uint32_t declared) {
  if (list->count != 0) {
    return PAR_STOP;
  }
  r3xFree(list->data);
  *list = R3xParseList{};
  list->elementSize = elementSize;
  list->declared = declared;
  return parListReserve(list, std::min(declared, R3X_PARSE_LIST_MAX_RESERVE));
}

std::int32_t parListReserve(R3xParseList* list, std::uint32_t extra) {
  const std::uint64_t capacity = std::uint64_t{list->capacity} + extra;
  const std::uint64_t bytes = capacity * list->elementSize;
  if (capacity > UINT32_MAX || bytes > UINT32_MAX) {
    return PAR_STOP;
  }
  if (bytes == 0) {
    list->capacity = static_cast<std::uint32_t>(capacity);
    return 0;
  }
  void* data = list->data == nullptr ? r3xMalloc(static_cast<std::size_t>(bytes))
                                     : r3xRealloc(list->data, static_cast<std::size_t>(bytes));
  if (data == nullptr) {
    return PAR_STOP;
  }
  list->data = data;
  list->capacity = static_cast<std::uint32_t>(capacity);
  return 0;
}

std::int32_t parListAppend(R3xParseList* list, const void* element) {
  if (parListIsFull(list) && parListReserve(list, R3X_PARSE_LIST_GROWTH) != 0) {
    return PAR_STOP;
  }
  std::memcpy(static_cast<char*>(list->data) + std::size_t{list->count} * list->elementSize,
              element, list->elementSize);
  ++list->count;
  return 0;
}

void* parListAt(const R3xParseList* list, std::uint32_t index) {
  return static_cast<char*>(list->data) + std::size_t{index} * list->elementSize;
}

std::uint32_t parListCount(const R3xParseList* list) { return list->count; }

bool parListIsFull(const R3xParseList* list) { return list->count >= list->capacity; }

bool parListMatchesDeclared(const R3xParseList* list) { return list->count == list->declared; }

void* parListDetach(R3xParseList* list) {
  void* data = list->data;
  const std::uint32_t elementSize = list->elementSize;
  *list = R3xParseList{};
  list->elementSize = elementSize;
  return data;
}

void parListFree(R3xParseList* list) { r3xFree(parListDetach(list)); }

#include "engine/world/parse_context.h"
#include "engine/world/parser_value.h"

namespace {

// A list owned by a parser value, with what frees each of its items.
struct ValueList {
  R3xParseList list;
  void (*freeItem)(void* item);
};

void freeValueList(void* record) {
  auto* owned = static_cast<ValueList*>(record);
  if (owned->freeItem != nullptr) {
    for (std::uint32_t i = 0; i < owned->list.count; ++i) {
      owned->freeItem(parListAt(&owned->list, i));
    }
  }
  parListFree(&owned->list);
  r3xFree(owned);
}

}  // namespace

std::int32_t parCheckCount(R3xParseContext* context, const char* keyword, std::int32_t declared,
                           std::uint32_t count) {
  if (declared < 0 || static_cast<std::uint32_t>(declared) != count) {
    parError(context, "%s is invalid", keyword);
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parAppendItem(R3xParseContext* context, R3xParserValue* listValue,
                           std::uint32_t elementSize, const void* item,
                           void (*freeItem)(void* item)) {
  if (listValue->record == nullptr) {
    auto* owned = static_cast<ValueList*>(r3xMalloc(sizeof(ValueList)));
    if (owned == nullptr || parListInit(&owned->list, elementSize, 0) != 0) {
      r3xFree(owned);
      parError(context, "out of memory");
      return PAR_STOP;
    }
    owned->freeItem = freeItem;
    *listValue = parRecordValue(owned, freeValueList);
  }
  if (parListAppend(parValueList(listValue), item) != 0) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  return 0;
}

R3xParseList* parValueList(const R3xParserValue* listValue) {
  return static_cast<R3xParseList*>(listValue->record);
}

std::uint32_t parValueCount(const R3xParserValue* listValue) {
  const R3xParseList* list = parValueList(listValue);
  return list == nullptr ? 0 : list->count;
}
