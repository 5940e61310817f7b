#include "engine/core/point_light.h"

#include "engine/core/actor.h"
#include "engine/core/bsp.h"
#include "engine/core/error.h"
#include "engine/core/light.h"
#include "engine/core/light_regions.h"
#include "engine/core/memory.h"
#include "engine/core/point_light_internal.h"
#include "engine/core/region.h"
#include "engine/core/region_internal.h"
#include "engine/core/world.h"

namespace {

constexpr std::uint32_t kInitialRegions = 3;

R3xLightRegionList regionsOf(R3xPointLight* light) {
  return {light->regionCount, light->regionCapacity, light->regions};
}

std::int32_t addLightToRegionCallback(R3xWorld* world, R3xRegion* region, void* user) {
  auto* light = static_cast<R3xPointLight*>(user);
  // Regions that nothing can be linked into are passed over.
  if (_r3xRegionInfo(region) == nullptr) {
    return 0;
  }
  return _r3xAddLightRegion(world, &light->header, regionsOf(light), region->header.slot,
                            R3xRegionLightPlace::kBack);
}

bool isLight(const R3xLight* light) {
  return light != nullptr && light->header.type == R3X_TYPE_LIGHT;
}

// A registered point light with the given fields and an empty list, referencing the light;
// null, with nothing left behind, outside every region or on failure.
R3xPointLight* makePointLight(R3xWorld* world, R3xLight* light, const float* position, float radius,
                              std::uint32_t flags, std::int32_t computeInfluence) {
  if (!isLight(light) || r3xFindRegionAt(world, position) == nullptr) {
    return nullptr;
  }
  auto* record = static_cast<R3xPointLight*>(r3xMalloc(sizeof(R3xPointLight)));
  auto* regions = static_cast<std::int32_t*>(r3xMalloc(kInitialRegions * sizeof(std::int32_t)));
  if (record == nullptr || regions == nullptr || r3xAddRef(&light->header) != 0) {
    r3xFree(regions);
    r3xFree(record);
    return nullptr;
  }
  *record = {{R3X_TYPE_POINT_LIGHT, -1, nullptr, flags, 0},
             light,
             {position[0], position[1], position[2]},
             radius,
             0,
             kInitialRegions,
             regions,
             -1};
  if (r3xRegisterObject(world, &record->header) == 0) {
    if (computeInfluence != 1 || _r3xUpdateLightInfluence(world, record) == 0) {
      return record;
    }
    _r3xUnlinkLightRegions(world, record);
    r3xUnregisterObject(world, &record->header);
  }
  r3xRelease(&light->header);
  r3xFree(record->regions);
  r3xFree(record);
  return nullptr;
}

}  // namespace

R3xPointLight* r3xCreatePointLight(R3xWorld* world, R3xLight* light, const float* position,
                                   float radius, std::int32_t computeInfluence) {
  return makePointLight(world, light, position, radius, 0, computeInfluence);
}

R3xPointLight* _r3xCopyPointLight(R3xWorld* world, const R3xPointLight* source,
                                  const R3xPlacement* placement, std::int32_t computeInfluence) {
  const float position[3] = {placement->x, placement->y, placement->z};
  return makePointLight(world, source->light, position, source->radius,
                        source->header.flags & ~R3X_FLAG_IN_DICTIONARY, computeInfluence);
}

std::int32_t r3xDestroyPointLight(R3xWorld* world, R3xPointLight* light) {
  const R3xSlotTable& actors = world->actors;
  if (light->ownerSlot >= 0 && actors.slots != nullptr &&
      static_cast<std::uint32_t>(light->ownerSlot) < actors.capacity) {
    R3xObjectHeader* owner = actors.slots[light->ownerSlot].object;
    if (owner != nullptr && owner->type == R3X_TYPE_ACTOR) {
      auto* actor = reinterpret_cast<R3xActor*>(owner);
      if (actor->pointLight == light) {
        actor->pointLight = nullptr;
      }
    }
  }
  _r3xUnlinkLightRegions(world, light);
  return _r3xFreeLightSource(world, &light->header, &light->light->header, light->regions);
}

std::int32_t r3xMovePointLight(R3xWorld* world, R3xPointLight* light,
                               const R3xPlacement* placement) {
  const float position[3] = {placement->x, placement->y, placement->z};
  if ((light->header.flags & R3X_FLAG_STATIC) != 0 || r3xFindRegionAt(world, position) == nullptr) {
    return R3X_ERR_FAILED;
  }
  light->position[0] = position[0];
  light->position[1] = position[1];
  light->position[2] = position[2];
  if ((light->header.flags & R3X_FLAG_STATIC_INFLUENCE) != 0) {
    return 0;
  }
  return _r3xUpdateLightInfluence(world, light) == 0 ? 0 : R3X_ERR_FAILED;
}

std::int32_t r3xSetPointLightRadius(R3xWorld* world, R3xPointLight* light, float radius) {
  if ((light->header.flags & R3X_FLAG_STATIC) != 0) {
    return R3X_ERR_FAILED;
  }
  if ((light->header.flags & R3X_FLAG_STATIC_INFLUENCE) != 0) {
    return 0;
  }
  light->radius = radius;
  return _r3xUpdateLightInfluence(world, light) == 0 ? 0 : R3X_ERR_FAILED;
}

std::int32_t r3xSetLightStatic(R3xPointLight* light) {
  light->header.flags |= R3X_FLAG_STATIC;
  return 0;
}

std::int32_t r3xSetLightStaticInfluence(R3xPointLight* light) {
  light->header.flags |= R3X_FLAG_STATIC_INFLUENCE;
  return 0;
}

std::int32_t r3xAddPointLightToRegion(R3xWorld* world, R3xPointLight* light, std::int32_t region) {
  if ((light->header.flags & R3X_FLAG_STATIC_INFLUENCE) == 0) {
    return R3X_ERR_FAILED;
  }
  return _r3xAddLightRegion(world, &light->header, regionsOf(light), region,
                            R3xRegionLightPlace::kBack);
}

void _r3xUnlinkLightRegions(R3xWorld* world, R3xPointLight* light) {
  _r3xLeaveLightRegions(world, &light->header, regionsOf(light));
}

std::int32_t _r3xUpdateLightInfluence(R3xWorld* world, R3xPointLight* light) {
  _r3xUnlinkLightRegions(world, light);
  return r3xQueryRegionsInSphere(world, light->position, light->radius, addLightToRegionCallback,
                                 light);
}
