// The action list of actor definitions and sky regions as the grammar collects it: actions with
// their levels of detail, and the parts that the levels name by running number.
#pragma once

#include <cstdint>

#include "engine/world/parse_list.h"

struct R3xParsedActionList {
  // R3xAction entries; each owns its level array.
  R3xParseList actions;
  // R3xObjectHeader* sprite parts, in running-number order of their levels.
  R3xParseList parts;
  // R3xSurface surface parts (each may own a UV array).
  R3xParseList surfaces;
  // Running number of the next level over all actions.
  std::int32_t nextPart;
};

// Frees the list with its level arrays, the UV arrays of its surfaces and its part table; the
// sprite parts themselves belong to the world. Null is allowed. (An R3xParserRecordFreeFn.)
void parFreeActionList(void* list);
