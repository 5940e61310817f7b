// Which arena object an actor belongs to, for the sweeps' filters and hit callbacks. Every arena
// object with a mailbox gives its actors that mailbox as user data; objects without one (flares,
// smoke) give none, so a filter never takes them for an object of some kind.
#pragma once

#include <cstdint>

#include "common/mailbox.h"
#include "engine/r3x_core.h"

// The user data word that names the object owning an actor.
inline std::uintptr_t ActorUserData(CMailbox* owner) {
  return reinterpret_cast<std::uintptr_t>(owner);
}
// The owning object's mailbox, or null for an actor without one.
CMailbox* ActorOwner(const R3xActor* actor);
// The KIND_ of the owner's address (the address without its low 16 bits); 0 without an owner.
std::uint32_t ActorOwnerKind(const R3xActor* actor);
// The owner as an object of the class, or null: an address is the server's word, so its kind
// alone does not tell the owner's class.
template <typename Object>
Object* ActorOwnerAs(const R3xActor* actor) {
  return dynamic_cast<Object*>(ActorOwner(actor));
}
