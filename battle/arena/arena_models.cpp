#include "battle/arena/arena_models.h"

#include "battle/arena/sprite_parts.h"

R3xActorDef* FindArenaModel(std::int32_t code) {
  return FindActorDef(ModelTable[static_cast<std::size_t>(code)].definition);
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
