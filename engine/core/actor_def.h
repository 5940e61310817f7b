// Actor definitions: the actions and levels of detail of a kind of actor, its default actor
// (placement, volumes, scale, radius, parts) and an uninterpreted user-data block from the world
// file. Actors are made from a definition, which counts them.
// Results: an object, or null; destroy gives 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/object.h"

struct R3xWorld;
struct R3xVolume;
struct R3xActor;
struct R3xPlacement;

// One level of detail: shown from the previous level's upper bound up to its own, both as
// squared distances. Once shown, it is kept while the viewer is no nearer than the switch-back
// distance.
struct R3xLodLevel {
  float switchBackSquared;
  float upperSquared;
  // Into the actor's part table.
  std::int32_t partIndex;
};

inline constexpr float R3X_LOD_LAST_UPPER = 1e30f;

// An action: its levels ordered by distance, the last one's upper bound R3X_LOD_LAST_UPPER.
struct R3xAction {
  std::uint32_t levelCount;
  // Owned.
  R3xLodLevel* levels;
};

// R3X_TYPE_ACTOR_DEF. The reference count is 1 for the default actor plus 1 for every other
// actor.
struct R3xActorDef {
  R3xObjectHeader header;
  std::uint32_t actionCount;
  // Owned, with each action's levels.
  R3xAction* actions;
  // The sum of the actions' level counts: the length of every part table.
  std::uint32_t partCount;
  // Owned (freed with the definition), or null; never interpreted.
  void* userData;
  R3xActor* defaultInstance;
};

// A new definition under the tag, or the actor definition already known under it, unchanged
// (nothing is taken then). A new definition takes the action array (with each action's levels),
// the user-data block and both volumes (null volume: the empty volume; null second volume:
// none), and gives its default actor the placement, scale, radius, current action and a copy of
// the part table (one entry per level of all actions; null entries become the null part), with
// a reference on every part. A static definition's actors are linked only into their current
// region, and its 3D sprite parts are marked static. Null, with everything left to the caller and
// nothing referenced, when another kind of object holds the tag, an action has no level, a
// level's part index lies outside the part table, the current action does not exist, a part is
// not the null part or a simple, 2D or 3D sprite, or out of memory.
R3xActorDef* r3xCreateActorDef(R3xWorld* world, const char* tag, std::uint32_t actionCount,
                               R3xAction* actions, void* userData,
                               const R3xPlacement* defaultPlacement, R3xVolume* defaultVolume,
                               R3xVolume* defaultSecondVolume, float defaultScale,
                               float defaultRadius, std::uint32_t currentAction,
                               R3xObjectHeader* const* parts, std::int32_t staticFlag);

// Destroys the default actor with its lamp, parts and volumes, then the definition with its
// actions and user-data block. R3X_ERR_FAILED, with nothing changed, while other actors exist;
// R3X_ERR_BAD_PART_TYPE when a part of another type was met (the rest is still done); else the
// unregistration result.
std::int32_t r3xDestroyActorDef(R3xWorld* world, R3xActorDef* definition);
