#include "engine/core/object.h"

#include <algorithm>
#include <limits>

#include "engine/core/destroy_table.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/object_internal.h"
#include "engine/core/string_copy.h"
#include "engine/core/tag_dictionary.h"

namespace {

// A dictionary entry names its object by type and a 24-bit slot index.
constexpr std::uint32_t kMaxCapacity = 1u << 24;

void chainFreeSlots(R3xSlot* slots, std::uint32_t from, std::uint32_t to) {
  for (std::uint32_t i = from; i < to; ++i) {
    slots[i] = R3xSlot{nullptr, i + 1};
  }
}

bool grow(R3xSlotTable* table, std::int32_t type) {
  // Bitmaps are handed out as addresses of their slots: the array must not move under them.
  if (type == R3X_TYPE_BITMAP && table->count > 0) {
    return false;
  }
  if (table->capacity >= kMaxCapacity) {
    return false;
  }
  const std::uint32_t capacity =
      std::min(table->capacity + std::max<std::uint32_t>(table->capacity / 4, 1), kMaxCapacity);
  auto* slots =
      static_cast<R3xSlot*>(r3xRealloc(table->slots, std::size_t{capacity} * sizeof(R3xSlot)));
  if (slots == nullptr) {
    return false;
  }
  chainFreeSlots(slots, table->capacity, capacity);
  table->slots = slots;
  table->capacity = capacity;
  return true;
}

bool isCountedType(std::int32_t type) {
  switch (type) {
    case R3X_TYPE_POLYHEDRON_DEF:
    case R3X_TYPE_SPHERE_LIST_DEF:
    case R3X_TYPE_SIMPLE_SPRITE_DEF:
    case R3X_TYPE_SIMPLE_SPRITE:
    case R3X_TYPE_2D_SPRITE_DEF:
    case R3X_TYPE_2D_SPRITE:
    case R3X_TYPE_3D_SPRITE_DEF:
    case R3X_TYPE_3D_SPRITE:
    case R3X_TYPE_ACTOR_DEF:
    case R3X_TYPE_BITMAP:
    case R3X_TYPE_LIGHT_DEF:
    case R3X_TYPE_LIGHT:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::int32_t _r3xInitSlotTable(R3xWorld* world, std::int32_t type, std::uint32_t capacity) {
  R3xSlotTable* table = _r3xSlotTableOf(world, type);
  if (table == nullptr || capacity == 0 || capacity > kMaxCapacity) {
    return R3X_ERR_FAILED;
  }
  if (table->slots != nullptr) {
    return R3X_SLOT_TABLE_EXISTS;
  }
  auto* slots = static_cast<R3xSlot*>(r3xMalloc(std::size_t{capacity} * sizeof(R3xSlot)));
  if (slots == nullptr) {
    return R3X_SLOT_TABLE_NO_MEMORY;
  }
  chainFreeSlots(slots, 0, capacity);
  *table = R3xSlotTable{0, capacity, 0, slots};
  return 0;
}

std::int32_t r3xRegisterObject(R3xWorld* world, R3xObjectHeader* object) {
  R3xSlotTable* table = object == nullptr ? nullptr : _r3xSlotTableOf(world, object->type);
  if (table == nullptr || table->slots == nullptr) {
    return R3X_ERR_FAILED;
  }
  if (table->freeHead == table->capacity && !grow(table, object->type)) {
    return R3X_ERR_FAILED;
  }
  const std::uint32_t slot = table->freeHead;
  table->freeHead = table->slots[slot].nextFree;
  table->slots[slot] = R3xSlot{object, 0};
  object->slot = static_cast<std::int32_t>(slot);
  ++table->count;
  return 0;
}

std::int32_t r3xUnregisterObject(R3xWorld* world, R3xObjectHeader* object) {
  R3xSlotTable* table = object == nullptr ? nullptr : _r3xSlotTableOf(world, object->type);
  if (table == nullptr || object->slot < 0 ||
      static_cast<std::uint32_t>(object->slot) >= table->capacity ||
      table->slots[object->slot].object != object) {
    return R3X_ERR_FAILED;
  }
  const auto slot = static_cast<std::uint32_t>(object->slot);
  table->slots[slot] = R3xSlot{nullptr, table->freeHead};
  table->freeHead = slot;
  --table->count;
  object->slot = -1;
  return 0;
}

std::int32_t r3xDestroyAllOfType(R3xWorld* world, std::int32_t type) {
  R3xSlotTable* table = _r3xSlotTableOf(world, type);
  if (table == nullptr) {
    return R3X_ERR_FAILED;
  }
  const R3xTypeDestroy& row = _r3xDestroyTable[type];
  if (row.destroy == nullptr && table->count > 0) {
    return R3X_ERR_FAILED;
  }
  // Regions live in one block that the first region starts.
  R3xObjectHeader* regionBlock = nullptr;
  if (type == R3X_TYPE_REGION && table->capacity > 0) {
    regionBlock = table->slots[0].object;
  }
  std::int32_t result = 0;
  for (std::uint32_t i = 0; i < table->capacity; ++i) {
    const R3xObjectHeader* object = table->slots[i].object;
    if (object == nullptr || (row.isDefaultInstance != nullptr && row.isDefaultInstance(object))) {
      continue;
    }
    result = row.destroy(world, &table->slots[i]);
  }
  if (type == R3X_TYPE_REGION) {
    r3xFree(regionBlock);
    table->count = 0;
  }
  if (table->count == 0) {
    r3xFree(table->slots);
    *table = R3xSlotTable{};
  }
  return result;
}

std::int32_t r3xSetTag(R3xWorld* world, R3xObjectHeader* object, const char* tag) {
  if (object == nullptr || !_r3xIsRegisteredType(object->type)) {
    return R3X_ERR_FAILED;
  }
  const bool entered = (object->flags & R3X_FLAG_IN_DICTIONARY) != 0;
  if (entered && world == nullptr) {
    return R3X_ERR_FAILED;
  }
  char* copy = nullptr;
  if (tag != nullptr) {
    copy = _r3xCopyString(tag);
    if (copy == nullptr) {
      return R3X_ERR_FAILED;
    }
  }
  if (entered) {
    r3xRemoveTag(world, object->tag);
  }
  r3xFree(object->tag);
  object->tag = copy;
  if (entered && copy != nullptr && r3xFindTag(world, copy) == nullptr &&
      r3xAddTag(world, object) != 0) {
    return R3X_ERR_FAILED;
  }
  return 0;
}

std::int32_t r3xAddRef(R3xObjectHeader* object) {
  if (object == nullptr || !isCountedType(object->type) ||
      object->refCount == std::numeric_limits<std::int32_t>::max()) {
    return R3X_ERR_FAILED;
  }
  ++object->refCount;
  return 0;
}

std::int32_t r3xRelease(R3xObjectHeader* object) {
  if (object == nullptr || !isCountedType(object->type) || object->refCount <= 0) {
    return R3X_ERR_FAILED;
  }
  --object->refCount;
  return 0;
}
