// The destroy operation of each registered type, as the world's bulk destruction calls it.
// Results: the destroy operations give 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xSlot;
struct R3xObjectHeader;

// Destroys the object in the slot (a bitmap's operation takes the slot's address itself).
using R3xDestroyOperation = std::int32_t (*)(R3xWorld* world, R3xSlot* slot);
// True for an instance that is its definition's default instance: the definition destroys it.
using R3xDefaultInstanceTest = bool (*)(const R3xObjectHeader* object);

struct R3xTypeDestroy {
  // Null while the type's objects cannot be made.
  R3xDestroyOperation destroy;
  // Set for instance types only.
  R3xDefaultInstanceTest isDefaultInstance;
};

inline constexpr std::int32_t R3X_TYPE_CODE_COUNT = 59;

// Indexed by type code. Each type's module fills in its row here.
extern R3xTypeDestroy _r3xDestroyTable[R3X_TYPE_CODE_COUNT];
