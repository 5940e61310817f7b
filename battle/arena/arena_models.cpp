#include "battle/arena/arena_models.h"

#include "battle/arena/arena_world.h"

R3xActorDef* FindArenaModel(const ArenaModel& model) {
  if (gWorld == nullptr) {
    return nullptr;
  }
  R3xObjectHeader* object = r3xFindTag(gWorld, model.tag);
  if (object == nullptr || object->type != R3X_TYPE_ACTOR_DEF) {
    return nullptr;
  }
  return reinterpret_cast<R3xActorDef*>(object);
}

float CurrentPartRadius(const R3xActor* actor, float fallback) {
  const R3xObjectHeader* part =
      r3xGetActorPart(actor, static_cast<std::uint32_t>(actor->currentActionIndex), 0);
  float radius = fallback;
  if (part == nullptr || r3xGetPartRadius(part, &radius) != 0) {
    return fallback;
  }
  return radius;
}
