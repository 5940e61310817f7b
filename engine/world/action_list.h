// The action list of actor definitions and sky regions as the grammar collects it: actions with
// their levels of detail, and the parts that the levels name by running number.
// Results: nothing.
#pragma once

#include <cstdint>

#include "engine/world/parse_list.h"

struct R3xParsedActionList {
  // R3xAction entries; each owns its level array.
  R3xParseList actions;
  // One R3xObjectHeader* per level in running-number order: the sprite part, or null for a
  // surface level (so that every level's part index stays inside the table).
  R3xParseList parts;
  // R3xSurface surface parts (each may own a UV array).
  R3xParseList surfaces;
  // Levels with a sprite part.
  std::uint32_t spriteCount;
};

// Frees the list with its level arrays, the UV arrays of its surfaces and its part table; the
// sprite parts themselves belong to the world. Null is allowed. (An R3xParserRecordFreeFn.)
void parFreeActionList(void* list);
