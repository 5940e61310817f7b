#include "engine/core/region_link.h"

#include <algorithm>
#include <cstddef>

#include "engine/core/actor.h"
#include "engine/core/bsp_walk.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/region_link_internal.h"

namespace {

// Makes room for one more element, growing by a quarter (at least 1). False when out of memory.
template <typename T>
bool reserveOneMore(T*& array, std::uint32_t count, std::uint32_t& capacity) {
  if (count < capacity && array != nullptr) {
    return true;
  }
  const std::uint32_t grown = count + std::max<std::uint32_t>(count / 4, 1);
  auto* bigger = static_cast<T*>(r3xRealloc(array, std::size_t{grown} * sizeof(T)));
  if (bigger == nullptr) {
    return false;
  }
  array = bigger;
  capacity = grown;
  return true;
}

bool isStatic(const R3xActor* actor) { return (actor->header.flags & R3X_FLAG_STATIC) != 0; }

R3xObjectEntry* findEntry(R3xRegionInfo* info, std::int32_t slot) {
  for (std::uint32_t i = 0; i < info->objectCount; ++i) {
    if (info->objects[i].object == slot) {
      return &info->objects[i];
    }
  }
  return nullptr;
}

bool listsRegion(const R3xActor* actor, std::int32_t region) {
  return std::find(actor->regions, actor->regions + actor->regionCount, region) !=
         actor->regions + actor->regionCount;
}

void unlinkIndex(R3xWorld* world, std::int32_t index, R3xActor* actor) {
  if (R3xRegion* region = r3xGetRegion(world, index)) {
    _r3xUnlinkObjectRegion(world, region, actor);
  }
}

// Fills the entry's path with the depths of the pending planes, deepest first. False when the
// array cannot grow.
bool fillPath(R3xObjectEntry* entry, const R3xBspPending* pending, std::uint32_t marks) {
  if (entry->pathCapacity < marks || entry->path == nullptr) {
    // The old depths are rewritten anyway; the array is sized for this path whatever its depth.
    const std::uint32_t capacity =
        entry->path == nullptr ? std::max<std::uint32_t>(16, marks)
                               : std::max(entry->pathCapacity + entry->pathCapacity / 4, marks);
    auto* path =
        static_cast<std::uint32_t*>(r3xMalloc(std::size_t{capacity} * sizeof(std::uint32_t)));
    if (path == nullptr) {
      return false;
    }
    r3xFree(entry->path);
    entry->path = path;
    entry->pathCapacity = capacity;
  }
  for (std::uint32_t i = 0; i < marks; ++i) {
    entry->path[i] = pending[marks - 1 - i].depth;
  }
  entry->pathCount = marks;
  return true;
}

// Links the actor into region k. 0, or -1 when a list or the path array cannot grow.
std::int32_t linkLeaf(R3xWorld* world, R3xActor* actor, std::int32_t k,
                      const R3xBspPending* pending, std::uint32_t marks) {
  const bool current = k == actor->placement.region;
  if (isStatic(actor) && !current) {
    return 0;
  }
  R3xRegion* region = r3xGetRegion(world, k);
  R3xRegionInfo* info = region == nullptr ? nullptr : _r3xRegionInfo(region);
  if (info == nullptr) {
    return 0;
  }
  R3xObjectEntry* entry = findEntry(info, actor->header.slot);
  const bool list = !current && !listsRegion(actor, k);
  // Both sides grow before either changes, so that a region never holds an actor that does
  // not list it.
  if ((entry == nullptr &&
       !reserveOneMore(info->objects, info->objectCount, info->objectCapacity)) ||
      (list && !reserveOneMore(actor->regions, actor->regionCount, actor->regionCapacity))) {
    return R3X_LINK_LIST_FULL;
  }
  if (entry == nullptr) {
    entry = &info->objects[info->objectCount++];
    *entry = R3xObjectEntry{actor->header.slot, 0, 0, nullptr};
  }
  if (list) {
    actor->regions[actor->regionCount++] = k;
  }
  return fillPath(entry, pending, marks) ? 0 : -1;
}

}  // namespace

std::int32_t r3xRelinkObjectRegions(R3xWorld* world, R3xActor* actor, std::int32_t oldRegion) {
  return _r3xLinkObjectRegions(world, actor, actor->radius * actor->scale, oldRegion);
}

std::int32_t r3xUnlinkObjectRegions(R3xWorld* world, R3xActor* actor) {
  for (std::uint32_t i = 0; i < actor->regionCount; ++i) {
    unlinkIndex(world, actor->regions[i], actor);
  }
  actor->regionCount = 0;
  unlinkIndex(world, actor->placement.region, actor);
  return 0;
}

std::int32_t _r3xLinkObjectRegions(R3xWorld* world, R3xActor* actor, float radius,
                                   std::int32_t oldRegion) {
  if (oldRegion != actor->placement.region) {
    unlinkIndex(world, oldRegion, actor);
  }
  if (!isStatic(actor)) {
    for (std::uint32_t i = 0; i < actor->regionCount; ++i) {
      unlinkIndex(world, actor->regions[i], actor);
    }
    actor->regionCount = 0;
  }
  const float centre[3] = {actor->placement.x, actor->placement.y, actor->placement.z};
  const std::int32_t result =
      _r3xWalkSphere(world, centre, radius,
                     [&](std::uint32_t k, const R3xBspPending* pending, std::uint32_t marks) {
                       return linkLeaf(world, actor, static_cast<std::int32_t>(k), pending, marks);
                     });
  return result == 0 ? 1 : result;
}

std::int32_t _r3xUnlinkObjectRegion(R3xWorld*, R3xRegion* region, R3xActor* actor) {
  R3xRegionInfo* info = _r3xRegionInfo(region);
  if (info == nullptr || info->objectCount == 0) {
    return R3X_ERR_REGION_LIST_EMPTY;
  }
  R3xObjectEntry* entry = findEntry(info, actor->header.slot);
  if (entry == nullptr) {
    return R3X_DONE;
  }
  r3xFree(entry->path);
  R3xObjectEntry* end = info->objects + info->objectCount;
  std::copy(entry + 1, end, entry);
  end[-1] = R3xObjectEntry{};
  --info->objectCount;
  return R3X_DONE;
}
