#include "engine/core/actor_sphere_list.h"

#include "engine/core/actor.h"
#include "engine/core/actor_rotation.h"
#include "engine/core/error.h"
#include "engine/core/sphere_list.h"
#include "engine/core/sphere_list_internal.h"

std::int32_t r3xGetSphereWorldRadius(const R3xSphereList* instance, std::uint32_t i, float* out) {
  if (instance->owner == nullptr) {
    return R3X_ERR_FAILED;
  }
  return _r3xSphereWorldRadius(instance, i, instance->owner->scale, out);
}

std::int32_t r3xGetSphereWorldPosition(const R3xSphereList* instance, std::uint32_t i, float* out) {
  R3xActor* owner = instance->owner;
  if (owner == nullptr) {
    return R3X_ERR_FAILED;
  }
  r3xBuildObjectRotation(owner, owner->scale, &owner->placement);
  const float position[3] = {owner->placement.x, owner->placement.y, owner->placement.z};
  return _r3xSphereWorldPosition(instance, i, position, owner->rotation, owner->scale, out);
}
