#include "engine/core/light_regions.h"

#include <algorithm>
#include <cstddef>

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/tag_dictionary.h"

namespace {

// Room for one more entry: full lists grow by n / 4 + 1. False when out of memory.
template <typename T>
bool reserveOneMore(T*& array, std::uint32_t count, std::uint32_t& capacity) {
  if (count < capacity && array != nullptr) {
    return true;
  }
  const std::uint32_t grown = count + count / 4 + 1;
  auto* bigger = static_cast<T*>(r3xRealloc(array, std::size_t{grown} * sizeof(T)));
  if (bigger == nullptr) {
    return false;
  }
  array = bigger;
  capacity = grown;
  return true;
}

}  // namespace

std::int32_t _r3xAddLightRegion(R3xWorld* world, R3xObjectHeader* light, R3xLightRegionList list,
                                std::int32_t region, R3xRegionLightPlace place) {
  R3xRegion* record = r3xGetRegion(world, region);
  R3xRegionInfo* info = record == nullptr ? nullptr : _r3xRegionInfo(record);
  if (info == nullptr) {
    return R3X_ERR_FAILED;
  }
  std::int32_t* end = list.regions + list.count;
  std::int32_t* at = std::lower_bound(list.regions, end, region);
  if (at != end && *at == region) {
    return 0;
  }
  const auto position = static_cast<std::size_t>(at - list.regions);
  if (!reserveOneMore(list.regions, list.count, list.capacity) ||
      !reserveOneMore(info->lights, info->lightCount, info->lightCapacity)) {
    return R3X_ERR_FAILED;
  }
  std::copy_backward(list.regions + position, list.regions + list.count,
                     list.regions + list.count + 1);
  list.regions[position] = region;
  ++list.count;
  if (place == R3xRegionLightPlace::kFront) {
    std::copy_backward(info->lights, info->lights + info->lightCount,
                       info->lights + info->lightCount + 1);
    info->lights[0] = light;
  } else {
    info->lights[info->lightCount] = light;
  }
  ++info->lightCount;
  return 0;
}

void _r3xLeaveLightRegions(R3xWorld* world, const R3xObjectHeader* light, R3xLightRegionList list) {
  for (std::uint32_t i = 0; i < list.count; ++i) {
    R3xRegion* region = r3xGetRegion(world, list.regions[i]);
    R3xRegionInfo* info = region == nullptr ? nullptr : _r3xRegionInfo(region);
    if (info == nullptr) {
      continue;
    }
    R3xObjectHeader** end = info->lights + info->lightCount;
    R3xObjectHeader** at = std::find(info->lights, end, light);
    if (at != end) {
      std::copy(at + 1, end, at);
      --info->lightCount;
    }
  }
  list.count = 0;
}

std::int32_t _r3xFreeLightSource(R3xWorld* world, R3xObjectHeader* source, R3xObjectHeader* light,
                                 std::int32_t* regions) {
  r3xRelease(light);
  if ((source->flags & R3X_FLAG_IN_DICTIONARY) != 0) {
    r3xRemoveTag(world, source->tag);
  }
  const std::int32_t result = r3xUnregisterObject(world, source);
  r3xFree(source->tag);
  r3xFree(regions);
  r3xFree(source);
  return result;
}
