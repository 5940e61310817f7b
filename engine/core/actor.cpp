#include "engine/core/actor.h"

#include <cmath>

#include "engine/core/actor_def.h"
#include "engine/core/actor_parts.h"
#include "engine/core/bsp.h"
#include "engine/core/error.h"
#include "engine/core/light.h"
#include "engine/core/memory.h"
#include "engine/core/part.h"
#include "engine/core/point_light.h"
#include "engine/core/point_light_internal.h"
#include "engine/core/polyhedron.h"
#include "engine/core/region_link.h"
#include "engine/core/sphere_list.h"
#include "engine/core/string_copy.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/volume.h"

namespace {

constexpr std::uint32_t kInitialRegionCapacity = 8;
constexpr float kInvalidCache = 1e30f;

bool isActor(const R3xActor* actor) {
  return actor != nullptr && actor->header.type == R3X_TYPE_ACTOR;
}

bool isDefaultActor(const R3xActor* actor) { return actor->definition->defaultInstance == actor; }

// A sphere list that an actor holds reports its spheres where the actor is.
void adoptVolume(R3xActor* actor, R3xVolume* volume) {
  actor->volume = volume;
  if (volume->type == R3X_TYPE_SPHERE_LIST) {
    reinterpret_cast<R3xSphereList*>(volume)->owner = actor;
  }
}

// The radius of a sphere volume or the second value of a two-value volume: what an actor made
// with scale 0 takes as its scale and radius. 0 for other kinds.
float sizeFromSecondVolume(const R3xVolume* volume) {
  switch (volume->type) {
    case R3X_TYPE_SPHERE_VOLUME:
      return reinterpret_cast<const R3xSphereVolume*>(volume)->radius;
    case R3X_TYPE_TWO_VALUE_VOLUME:
      return reinterpret_cast<const R3xTwoValueVolume*>(volume)->second;
    default:
      return 0.0f;
  }
}

bool anglesDiffer(const R3xPlacement& a, const R3xPlacement& b) {
  return a.heading != b.heading || a.pitch != b.pitch || a.roll != b.roll;
}

void positionOf(const R3xPlacement& placement, float* out) {
  out[0] = placement.x;
  out[1] = placement.y;
  out[2] = placement.z;
}

// What a failed creation has taken so far, undone in reverse.
struct CreationSteps {
  bool registered = false;
  bool linked = false;
  bool partsReferenced = false;
};

void undoCreation(R3xWorld* world, R3xActor* actor, const CreationSteps& steps) {
  if (steps.partsReferenced) {
    for (std::uint32_t i = 0; i < actor->definition->partCount; ++i) {
      _r3xReleaseActorPart(world, actor->parts[i], false);
    }
  }
  if (steps.linked) {
    r3xUnlinkObjectRegions(world, actor);
  }
  if (steps.registered) {
    _r3xUnregisterActorObject(world, &actor->header);
  }
  r3xFree(actor->header.tag);
  if (actor->pointLight != nullptr) {
    r3xDestroyPointLight(world, actor->pointLight);
  }
  if (actor->volume != nullptr) {
    r3xDestroyVolume(world, actor->volume);
  }
  r3xDestroyVolume(world, actor->secondVolume);
  r3xFree(actor->regions);
  r3xFree(actor->parts);
  r3xFree(actor);
}

// Gives the actor its tag, entered in the dictionary unless another object holds it.
bool tagActor(R3xWorld* world, R3xActor* actor, const char* tag) {
  if (tag == nullptr) {
    return true;
  }
  actor->header.tag = _r3xCopyString(tag);
  if (actor->header.tag == nullptr) {
    return false;
  }
  return r3xFindTag(world, tag) != nullptr || r3xAddTag(world, &actor->header) == 0;
}

// Scale and radius of a new actor (see r3xCreateActor).
void sizeActor(R3xActor* actor, const R3xActor& source, const R3xVolume* secondVolume, float scale,
               float radius) {
  if (scale == 0.0f && secondVolume != nullptr) {
    scale = sizeFromSecondVolume(secondVolume);
    radius = scale;
  }
  actor->scale = scale == 0.0f ? source.scale : scale;
  actor->radius = radius == 0.0f ? source.radius : radius;
}

}  // namespace

R3xActor* r3xCreateActor(R3xWorld* world, R3xActorDef* definition, const char* tag,
                         const R3xPlacement* placement, const R3xVolume* volume,
                         const R3xVolume* secondVolume, float scale, float radius,
                         std::uintptr_t userData) {
  if (definition == nullptr || definition->header.type != R3X_TYPE_ACTOR_DEF) {
    return nullptr;
  }
  const R3xActor& source = *definition->defaultInstance;
  R3xPlacement where = placement != nullptr ? *placement : source.placement;
  float position[3];
  positionOf(where, position);
  if (r3xFindRegionAt(world, position) == nullptr) {
    return nullptr;
  }
  where.region = r3xFindRegionIndexAt(world, position);

  auto* actor = static_cast<R3xActor*>(r3xMalloc(sizeof(R3xActor)));
  if (actor == nullptr) {
    return nullptr;
  }
  // The default's words, without what it owns or caches.
  *actor = source;
  actor->header = {R3X_TYPE_ACTOR, -1, nullptr,
                   (source.header.flags & R3X_ACTOR_INHERITED_FLAGS) | R3X_FLAG_TRANSFORM_DIRTY, 0};
  actor->placement = where;
  actor->volume = nullptr;
  actor->secondVolume = nullptr;
  actor->parts = nullptr;
  actor->regionCount = 0;
  actor->regionCapacity = 0;
  actor->regions = nullptr;
  actor->pointLight = nullptr;
  actor->userData = userData;
  actor->vertexCacheCapacity = 0;
  actor->vertexCache = nullptr;
  actor->cachedLod = -1;
  for (int k = 0; k < 3; ++k) {
    actor->cachedPosition[k] = kInvalidCache;
    actor->cachedOffset[k] = kInvalidCache;
  }
  actor->lodShown = -1;

  CreationSteps steps;
  R3xVolume* volumeCopy = r3xCopyVolume(world, volume != nullptr ? volume : source.volume);
  if (volumeCopy == nullptr) {
    undoCreation(world, actor, steps);
    return nullptr;
  }
  adoptVolume(actor, volumeCopy);
  if (secondVolume != nullptr) {
    actor->secondVolume = r3xCopyVolume(world, secondVolume);
    if (actor->secondVolume == nullptr) {
      undoCreation(world, actor, steps);
      return nullptr;
    }
  }
  sizeActor(actor, source, secondVolume, scale, radius);
  if (source.pointLight != nullptr) {
    actor->pointLight = _r3xCopyPointLight(world, source.pointLight, &where, 1);
    if (actor->pointLight == nullptr) {
      undoCreation(world, actor, steps);
      return nullptr;
    }
  }
  const std::uint32_t partCount = definition->partCount;
  actor->parts = static_cast<R3xObjectHeader**>(r3xMalloc(partCount * sizeof(R3xObjectHeader*)));
  const bool isStatic = (actor->header.flags & R3X_FLAG_STATIC) != 0;
  if (!isStatic) {
    actor->regions =
        static_cast<std::int32_t*>(r3xMalloc(kInitialRegionCapacity * sizeof(std::int32_t)));
    actor->regionCapacity = actor->regions != nullptr ? kInitialRegionCapacity : 0;
  }
  if (actor->parts == nullptr || (!isStatic && actor->regions == nullptr)) {
    undoCreation(world, actor, steps);
    return nullptr;
  }
  for (std::uint32_t i = 0; i < partCount; ++i) {
    actor->parts[i] = source.parts[i];
  }

  steps.registered = r3xRegisterObject(world, &actor->header) == 0;
  if (!steps.registered || !tagActor(world, actor, tag)) {
    undoCreation(world, actor, steps);
    return nullptr;
  }
  if (actor->pointLight != nullptr) {
    actor->pointLight->ownerSlot = actor->header.slot;
  }
  steps.linked = true;
  if (r3xRelinkObjectRegions(world, actor, where.region) != R3X_DONE) {
    undoCreation(world, actor, steps);
    return nullptr;
  }
  steps.partsReferenced = _r3xReferenceActorParts(actor->parts, partCount, isStatic) == 0;
  if (!steps.partsReferenced || r3xAddRef(&definition->header) != 0) {
    undoCreation(world, actor, steps);
    return nullptr;
  }
  return actor;
}

std::int32_t r3xDestroyActor(R3xWorld* world, R3xActor* actor) {
  if (!isActor(actor) || isDefaultActor(actor)) {
    return R3X_ERR_FAILED;
  }
  r3xUnlinkObjectRegions(world, actor);
  r3xRelease(&actor->definition->header);
  const std::int32_t result = _r3xUnregisterActorObject(world, &actor->header);
  const std::int32_t partResult = _r3xFreeActorRecord(world, actor);
  return partResult != 0 ? partResult : result;
}

std::uintptr_t r3xGetActorUserData(const R3xActor* actor) { return actor->userData; }

std::int32_t r3xGetActorPlacement(const R3xActor* actor, R3xPlacement* out) {
  *out = actor->placement;
  return 0;
}

R3xVolume* r3xGetActorVolume(const R3xActor* actor) { return actor->volume; }

float r3xGetActorRadius(const R3xActor* actor) { return actor->radius; }

R3xObjectHeader* r3xGetActorPart(const R3xActor* actor, std::uint32_t action, std::uint32_t level) {
  if (!isActor(actor) || action >= actor->definition->actionCount) {
    return nullptr;
  }
  const R3xAction& entry = actor->definition->actions[action];
  if (level >= entry.levelCount) {
    return nullptr;
  }
  return actor->parts[entry.levels[level].partIndex];
}

std::int32_t r3xSetActorCurrentAction(R3xActor* actor, std::uint32_t action) {
  if (action >= actor->definition->actionCount) {
    return R3X_ERR_FAILED;
  }
  actor->currentActionIndex = static_cast<std::int32_t>(action);
  actor->currentAction = &actor->definition->actions[action];
  return 0;
}

std::int32_t r3xSetActorPlacement(R3xWorld* world, R3xActor* actor, const R3xPlacement* placement) {
  R3xPlacement& current = actor->placement;
  if (anglesDiffer(current, *placement)) {
    actor->header.flags |= R3X_FLAG_TRANSFORM_DIRTY;
  }
  if (placement->x == current.x && placement->y == current.y && placement->z == current.z) {
    current.heading = placement->heading;
    current.pitch = placement->pitch;
    current.roll = placement->roll;
    return 0;
  }
  float position[3];
  positionOf(*placement, position);
  const std::int32_t region = r3xFindRegionIndexAt(world, position);
  if (region < 0) {
    return R3X_ERR_FAILED;
  }
  const std::int32_t oldRegion = current.region;
  current = *placement;
  current.region = region;
  if (r3xRelinkObjectRegions(world, actor, oldRegion) != R3X_DONE) {
    return R3X_ERR_FAILED;
  }
  return actor->pointLight != nullptr ? r3xMovePointLight(world, actor->pointLight, &current) : 0;
}

std::int32_t r3xReplaceActorPart(R3xActor* actor, std::uint32_t action, std::uint32_t level,
                                 R3xObjectHeader* part) {
  if (r3xGetActorPart(actor, action, level) == nullptr) {
    return R3X_ERR_FAILED;
  }
  R3xObjectHeader* replacement = part != nullptr ? part : r3xNullPart();
  if (!_r3xIsActorPartType(replacement)) {
    return R3X_ERR_BAD_PART_TYPE;
  }
  R3xObjectHeader*& slot = actor->parts[actor->definition->actions[action].levels[level].partIndex];
  if (_r3xReleaseActorPart(nullptr, slot, false) != 0) {
    return R3X_ERR_BAD_PART_TYPE;
  }
  slot = replacement;
  if (replacement->type != R3X_TYPE_NULL) {
    r3xAddRef(replacement);
  }
  actor->lodShown = -1;
  return 0;
}

std::int32_t r3xSetActorVolume(R3xWorld* world, R3xActor* actor, const R3xVolume* volume) {
  R3xVolume* copy = r3xCopyVolume(world, volume);
  if (copy == nullptr) {
    return R3X_ERR_NO_MEMORY;
  }
  r3xDestroyVolume(world, actor->volume);
  adoptVolume(actor, copy);
  return 0;
}

std::int32_t r3xSetActorRadius(R3xActor* actor, float radius, std::int32_t scaleFlag) {
  if (scaleFlag != 0) {
    actor->scale = actor->radius != 0.0f ? actor->scale * radius / actor->radius : radius;
    actor->header.flags |= R3X_FLAG_TRANSFORM_DIRTY;
  }
  actor->radius = radius;
  return 0;
}

std::int32_t r3xSetActorScale(R3xActor* actor, float scale, std::int32_t keepVolume) {
  if (!(scale > 0.0f)) {
    return R3X_ERR_FAILED;
  }
  if (keepVolume == 0) {
    const float factor = actor->scale / scale;
    float volumeRadius = 0.0f;
    switch (actor->volume->type) {
      case R3X_TYPE_POLYHEDRON: {
        auto* polyhedron = reinterpret_cast<R3xPolyhedron*>(actor->volume);
        polyhedron->scale *= factor;
        volumeRadius = polyhedron->definition->radius * polyhedron->scale;
        break;
      }
      case R3X_TYPE_SPHERE_LIST: {
        auto* list = reinterpret_cast<R3xSphereList*>(actor->volume);
        list->scale *= factor;
        volumeRadius = list->definition->radius * list->scale;
        break;
      }
      case R3X_TYPE_SPHERE_VOLUME: {
        auto* sphere = reinterpret_cast<R3xSphereVolume*>(actor->volume);
        sphere->radius *= factor;
        volumeRadius = sphere->radius;
        break;
      }
      default:
        break;
    }
    const R3xObjectHeader* shown = actor->parts[actor->currentAction->levels[0].partIndex];
    float partRadius = 0.0f;
    float offset[3] = {0.0f, 0.0f, 0.0f};
    if (shown->type == R3X_TYPE_2D_SPRITE || shown->type == R3X_TYPE_3D_SPRITE) {
      r3xGetPartRadius(shown, &partRadius);
      r3xGetPartOffset(shown, offset);
    }
    actor->radius = volumeRadius > partRadius ? volumeRadius : partRadius;
    if (partRadius > 0.0f) {
      actor->radius +=
          std::sqrt(offset[0] * offset[0] + offset[1] * offset[1] + offset[2] * offset[2]);
    }
  }
  actor->scale = scale;
  actor->header.flags |= R3X_FLAG_TRANSFORM_DIRTY;
  return 0;
}

std::int32_t r3xSetActorPointLight(R3xWorld* world, R3xActor* actor, R3xLight* light) {
  R3xPointLight* lamp = actor->pointLight;
  if (light != nullptr && light->header.type != R3X_TYPE_LIGHT) {
    return R3X_ERR_FAILED;
  }
  if (lamp != nullptr) {
    if (light == nullptr) {
      r3xDestroyPointLight(world, lamp);
      actor->pointLight = nullptr;
      return 0;
    }
    if (r3xAddRef(&light->header) != 0) {
      return R3X_ERR_FAILED;
    }
    r3xRelease(&lamp->light->header);
    lamp->light = light;
    return 0;
  }
  if (light == nullptr) {
    return 0;
  }
  float position[3];
  positionOf(actor->placement, position);
  lamp = r3xCreatePointLight(world, light, position, 0.0f, 1);
  if (lamp == nullptr) {
    return R3X_ERR_FAILED;
  }
  lamp->ownerSlot = actor->header.slot;
  actor->pointLight = lamp;
  return 0;
}

std::int32_t r3xIsActorHidden(const R3xActor* actor) {
  return (actor->header.flags & R3X_FLAG_HIDDEN) != 0 ? 1 : 0;
}

std::int32_t r3xSetActorHidden(R3xActor* actor, std::int32_t hidden) {
  if (hidden != 0) {
    actor->header.flags |= R3X_FLAG_HIDDEN;
  } else {
    actor->header.flags &= ~R3X_FLAG_HIDDEN;
  }
  return 0;
}
