#include "battle/arena/sprite_parts.h"

#include "battle/arena/arena_world.h"

void AddPartRenderBits(R3xActor* actor, std::uint32_t action, R3xRenderMethod bits) {
  R3xObjectHeader* part = r3xGetActorPart(actor, action, 0);
  if (part == nullptr || part->type != R3X_TYPE_2D_SPRITE) {
    return;
  }
  auto* sprite = reinterpret_cast<R3x2DSprite*>(part);
  r3xSet2DSpriteRenderMethod(nullptr, sprite, r3xGet2DSpriteRenderMethod(sprite) | bits);
}

R3xActorDef* FindActorDef(const char* tag) {
  if (gWorld == nullptr) {
    return nullptr;
  }
  R3xObjectHeader* object = r3xFindTag(gWorld, tag);
  if (object == nullptr || object->type != R3X_TYPE_ACTOR_DEF) {
    return nullptr;
  }
  return reinterpret_cast<R3xActorDef*>(object);
}
