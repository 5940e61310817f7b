// The growable lists in which rule actions collect the repeated items of a statement.
// Results: 0 or PAR_STOP (parse_result.h); elements, counts and true or false.
#pragma once

#include <cstdint>

struct R3xParseList {
  std::uint32_t capacity;
  std::uint32_t elementSize;
  std::uint32_t count;
  // r3xMalloc block of capacity elements, or null.
  void* data;
  // The count that the statement declared for its items.
  std::uint32_t declared;
};

// Declared counts above this reserve only this many elements at first: the list grows as items
// come, so a false count in an untrusted file cannot reserve a huge block.
inline constexpr std::uint32_t R3X_PARSE_LIST_MAX_RESERVE = 4096;
// Elements added each time an append finds the list full.
inline constexpr std::uint32_t R3X_PARSE_LIST_GROWTH = 10;

// Prepares an empty list for the declared count of elements of that size. PAR_STOP when the
// list already holds items or out of memory (the caller reports "out of memory"), else 0.
std::int32_t parListInit(R3xParseList* list, std::uint32_t elementSize, std::uint32_t declared);
// Makes room for extra more elements. 0, or PAR_STOP when out of memory.
std::int32_t parListReserve(R3xParseList* list, std::uint32_t extra);
// Copies one element to the end, growing as needed. 0, or PAR_STOP when out of memory.
std::int32_t parListAppend(R3xParseList* list, const void* element);
void* parListAt(const R3xParseList* list, std::uint32_t index);
std::uint32_t parListCount(const R3xParseList* list);
bool parListIsFull(const R3xParseList* list);
// True when the number of items equals the declared count.
bool parListMatchesDeclared(const R3xParseList* list);
// The data block, now the caller's; the list is left empty.
void* parListDetach(R3xParseList* list);
// Frees the data block and clears the list.
void parListFree(R3xParseList* list);

struct R3xParseContext;
struct R3xParserValue;

// Reports "<keyword> is invalid" unless count equals the declared number. 0, or PAR_STOP after the
// message.
std::int32_t parCheckCount(R3xParseContext* context, const char* keyword, std::int32_t declared,
                           std::uint32_t count);

// A parser value's list of items: made on the first append (an empty list is no value), freed
// with freeItems on each item first when given. 0, or PAR_STOP after reporting "out of memory".
std::int32_t parAppendItem(R3xParseContext* context, R3xParserValue* listValue,
                           std::uint32_t elementSize, const void* item,
                           void (*freeItem)(void* item));
// The value's list, or null for no items.
R3xParseList* parValueList(const R3xParserValue* listValue);
std::uint32_t parValueCount(const R3xParserValue* listValue);
