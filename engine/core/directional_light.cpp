#include "engine/core/directional_light.h"

#include "engine/core/error.h"
#include "engine/core/light.h"
#include "engine/core/light_regions.h"
#include "engine/core/memory.h"

namespace {

constexpr std::uint32_t kInitialRegions = 3;

R3xLightRegionList regionsOf(R3xDirectionalLight* light) {
  return {light->regionCount, light->regionCapacity, light->regions};
}

}  // namespace

R3xDirectionalLight* r3xCreateDirectionalLight(R3xWorld* world, R3xLight* light,
                                               const float* direction) {
  if (light == nullptr || light->header.type != R3X_TYPE_LIGHT) {
    return nullptr;
  }
  auto* record = static_cast<R3xDirectionalLight*>(r3xMalloc(sizeof(R3xDirectionalLight)));
  auto* regions = static_cast<std::int32_t*>(r3xMalloc(kInitialRegions * sizeof(std::int32_t)));
  if (record != nullptr && regions != nullptr && r3xAddRef(&light->header) == 0) {
    *record = {{R3X_TYPE_DIRECTIONAL_LIGHT, -1, nullptr, 0, 0},
               light,
               {direction[0], direction[1], direction[2]},
               0,
               kInitialRegions,
               regions};
    if (r3xRegisterObject(world, &record->header) == 0) {
      return record;
    }
    r3xRelease(&light->header);
  }
  r3xFree(regions);
  r3xFree(record);
  return nullptr;
}

std::int32_t r3xDestroyDirectionalLight(R3xWorld* world, R3xDirectionalLight* light) {
  _r3xLeaveLightRegions(world, &light->header, regionsOf(light));
  return _r3xFreeLightSource(world, &light->header, &light->light->header, light->regions);
}

std::int32_t r3xSetDirectionalLightStatic(R3xDirectionalLight* light) {
  light->header.flags |= R3X_FLAG_STATIC;
  return 0;
}

std::int32_t r3xAddDirectionalLightToRegion(R3xWorld* world, R3xDirectionalLight* light,
                                            std::int32_t region) {
  return _r3xAddLightRegion(world, &light->header, regionsOf(light), region,
                            R3xRegionLightPlace::kFront);
}
