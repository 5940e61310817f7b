// The engine's own functions of object.h, which the public header leaves out.
// Results: 0, R3X_ERR_FAILED or the slot table's own R3X_SLOT_TABLE_ codes; tables or null.
#pragma once

#include "engine/core/object.h"

// True for the types that have a slot table in the world.
bool _r3xIsRegisteredType(std::int32_t type);

// The world's table of that type, or null without a world or for a type that is not
// registered.
R3xSlotTable* _r3xSlotTableOf(R3xWorld* world, std::int32_t type);

// _r3xInitSlotTable's own codes besides 0 and R3X_ERR_FAILED.
inline constexpr std::int32_t R3X_SLOT_TABLE_EXISTS = 5;
inline constexpr std::int32_t R3X_SLOT_TABLE_NO_MEMORY = 3;

// Creates one type's table: 0; R3X_SLOT_TABLE_EXISTS when the table already has an array;
// R3X_SLOT_TABLE_NO_MEMORY when out of memory; R3X_ERR_FAILED for a type that is not
// registered or a capacity of 0.
std::int32_t _r3xInitSlotTable(R3xWorld* world, std::int32_t type, std::uint32_t capacity);
