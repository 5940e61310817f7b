#include "engine/world/region_info.h"

#include "engine/core/memory.h"
#include "engine/core/region.h"

namespace {

constexpr std::uint32_t kInfoObjects = 16;
constexpr std::uint32_t kInfoLights = 3;

}  // namespace

R3xRegionInfo* _r3xMakeRegionInfo(std::int32_t type) {
  auto* info = static_cast<R3xRegionInfo*>(r3xMalloc(sizeof(R3xRegionInfo)));
  if (info == nullptr) {
    return nullptr;
  }
  info->type = type;
  info->objectCapacity = kInfoObjects;
  info->objects = static_cast<R3xObjectEntry*>(r3xMalloc(kInfoObjects * sizeof(R3xObjectEntry)));
  info->lightCapacity = kInfoLights;
  info->lights = static_cast<R3xObjectHeader**>(r3xMalloc(kInfoLights * sizeof(R3xObjectHeader*)));
  if (info->objects == nullptr || info->lights == nullptr) {
    r3xFree(info->objects);
    r3xFree(info->lights);
    r3xFree(info);
    return nullptr;
  }
  return info;
}
