#include "engine/world/parse_list.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "engine/core/memory.h"

std::int32_t parListInit(R3xParseList* list, std::uint32_t elementSize, std::uint32_t declared) {
  if (list->count != 0) {
    return 1;
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
    return 1;
  }
  if (bytes == 0) {
    list->capacity = static_cast<std::uint32_t>(capacity);
    return 0;
  }
  void* data = list->data == nullptr ? r3xMalloc(static_cast<std::size_t>(bytes))
                                     : r3xRealloc(list->data, static_cast<std::size_t>(bytes));
  if (data == nullptr) {
    return 1;
  }
  list->data = data;
  list->capacity = static_cast<std::uint32_t>(capacity);
  return 0;
}

std::int32_t parListAppend(R3xParseList* list, const void* element) {
  if (parListIsFull(list) && parListReserve(list, R3X_PARSE_LIST_GROWTH) != 0) {
    return 1;
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
