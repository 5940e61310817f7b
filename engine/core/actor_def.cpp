#include "engine/core/actor_def.h"

#include "engine/core/actor.h"
#include "engine/core/actor_parts.h"
#include "engine/core/definition.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/volume.h"

namespace {

// Part tables are indexed by 32-bit level entries.
constexpr std::uint64_t kMaxParts = 0x7FFFFFFF;

// The part count of well-formed actions, or 0.
std::uint32_t countParts(std::uint32_t actionCount, const R3xAction* actions) {
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < actionCount; ++i) {
    if (actions[i].levelCount == 0 || actions[i].levels == nullptr) {
      return 0;
    }
    total += actions[i].levelCount;
    if (total > kMaxParts) {
      return 0;
    }
  }
  for (std::uint32_t i = 0; i < actionCount; ++i) {
    for (std::uint32_t j = 0; j < actions[i].levelCount; ++j) {
      const std::int32_t part = actions[i].levels[j].partIndex;
      if (part < 0 || static_cast<std::uint64_t>(part) >= total) {
        return 0;
      }
    }
  }
  return static_cast<std::uint32_t>(total);
}

void freeActions(R3xAction* actions, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    r3xFree(actions[i].levels);
  }
  r3xFree(actions);
}

}  // namespace

R3xActorDef* r3xCreateActorDef(R3xWorld* world, const char* tag, std::uint32_t actionCount,
                               R3xAction* actions, void* userData,
                               const R3xPlacement* defaultPlacement, R3xVolume* defaultVolume,
                               R3xVolume* defaultSecondVolume, float defaultScale,
                               float defaultRadius, std::uint32_t currentAction,
                               R3xObjectHeader* const* parts, std::int32_t staticFlag) {
  const R3xTagLookup lookup = _r3xLookUpDefinitionTag(world, tag, R3X_TYPE_ACTOR_DEF);
  if (lookup.existing != nullptr) {
    return reinterpret_cast<R3xActorDef*>(lookup.existing);
  }
  if (lookup.clash || actions == nullptr || currentAction >= actionCount) {
    return nullptr;
  }
  const std::uint32_t partCount = countParts(actionCount, actions);
  if (partCount == 0) {
    return nullptr;
  }
  auto* definition = static_cast<R3xActorDef*>(r3xMalloc(sizeof(R3xActorDef)));
  auto* actor = static_cast<R3xActor*>(r3xMalloc(sizeof(R3xActor)));
  auto* table = static_cast<R3xObjectHeader**>(r3xMalloc(partCount * sizeof(R3xObjectHeader*)));
  if (definition == nullptr || actor == nullptr || table == nullptr) {
    r3xFree(definition);
    r3xFree(actor);
    r3xFree(table);
    return nullptr;
  }
  definition->header = {R3X_TYPE_ACTOR_DEF, -1, nullptr, 0, 1};
  definition->actionCount = actionCount;
  definition->actions = actions;
  definition->partCount = partCount;
  definition->userData = userData;
  definition->defaultInstance = actor;

  const std::uint32_t staticBit = staticFlag != 0 ? R3X_FLAG_STATIC : 0;
  actor->header = {R3X_TYPE_ACTOR, -1, nullptr, staticBit | R3X_FLAG_TRANSFORM_DIRTY, 0};
  if (defaultPlacement != nullptr) {
    actor->placement = *defaultPlacement;
  }
  actor->volume = defaultVolume != nullptr ? defaultVolume : r3xEmptyVolume();
  actor->secondVolume = defaultSecondVolume;
  actor->scale = defaultScale;
  actor->radius = defaultRadius;
  actor->currentActionIndex = static_cast<std::int32_t>(currentAction);
  actor->currentAction = &actions[currentAction];
  for (std::uint32_t i = 0; i < partCount; ++i) {
    table[i] = parts != nullptr ? parts[i] : nullptr;
  }
  actor->parts = table;
  actor->definition = definition;
  actor->cachedLod = -1;
  for (int k = 0; k < 3; ++k) {
    actor->cachedPosition[k] = R3X_LOD_LAST_UPPER;
    actor->cachedOffset[k] = R3X_LOD_LAST_UPPER;
  }
  actor->lodShown = -1;

  if (_r3xRegisterTagged(world, &definition->header, tag) != 0) {
    r3xFree(definition);
    r3xFree(actor);
    r3xFree(table);
    return nullptr;
  }
  if (r3xRegisterObject(world, &actor->header) != 0 ||
      _r3xReferenceActorParts(table, partCount, staticBit != 0) != 0) {
    if (actor->header.slot >= 0) {
      r3xUnregisterObject(world, &actor->header);
    }
    _r3xUnregisterTagged(world, &definition->header);
    r3xFree(definition);
    r3xFree(actor);
    r3xFree(table);
    return nullptr;
  }
  return definition;
}

std::int32_t r3xDestroyActorDef(R3xWorld* world, R3xActorDef* definition) {
  if (definition == nullptr || definition->header.type != R3X_TYPE_ACTOR_DEF ||
      definition->header.refCount != 1) {
    return R3X_ERR_FAILED;
  }
  R3xActor* actor = definition->defaultInstance;
  _r3xUnregisterActorObject(world, &actor->header);
  const std::int32_t partResult = _r3xFreeActorRecord(world, actor);
  freeActions(definition->actions, definition->actionCount);
  r3xFree(definition->userData);
  const std::int32_t result = _r3xUnregisterActorObject(world, &definition->header);
  r3xFree(definition);
  return partResult != 0 ? partResult : result;
}
