#include "engine/core/actor_lod.h"

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"

std::int32_t r3xChooseActorLod(R3xWorld*, R3xActor* actor, const float* viewer) {
  const R3xAction& action = *actor->currentAction;
  const R3xLodLevel* levels = action.levels;
  std::int32_t chosen = levels[0].partIndex;
  if (action.levelCount > 1) {
    const float dx = actor->placement.x - viewer[0];
    const float dy = actor->placement.y - viewer[1];
    const float dz = actor->placement.z - viewer[2];
    float distanceSquared = dx * dx + dy * dy + dz * dz;
    if (distanceSquared > R3X_LOD_LAST_UPPER) {
      distanceSquared = R3X_LOD_LAST_UPPER;
    }
    // The last level stands for every distance beyond the others.
    std::uint32_t k = 0;
    while (k + 1 < action.levelCount && levels[k].upperSquared < distanceSquared) {
      ++k;
    }
    chosen = levels[k].partIndex;
    const bool keepNext = k + 1 < action.levelCount &&
                          levels[k].upperSquared < R3X_LOD_LAST_UPPER &&
                          actor->lodShown == levels[k + 1].partIndex &&
                          levels[k + 1].switchBackSquared <= distanceSquared;
    if (keepNext) {
      chosen = levels[k + 1].partIndex;
    }
  }
  actor->lodShown = chosen;
  return chosen;
}
