#include "battle/arena/actor_owner.h"

CMailbox* ActorOwner(const R3xActor* actor) {
  return actor != nullptr ? reinterpret_cast<CMailbox*>(r3xGetActorUserData(actor)) : nullptr;
}

std::uint32_t ActorOwnerKind(const R3xActor* actor) {
  const CMailbox* owner = ActorOwner(actor);
  return owner != nullptr ? owner->Address() & 0xFFFF0000u : 0;
}
