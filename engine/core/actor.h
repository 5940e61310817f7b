// Actors: the movable objects of a world. An actor has a placement in a region, collision
// volumes, a scale and bounding radius, the parts of its definition's actions and levels of
// detail, the regions its bounding sphere touches, an optional lamp, and a user-data word
// through which collision callbacks find the game object that owns it.
// Results: 0 or a negative R3X_ERR_ code; objects or null; getters give values.
#pragma once

#include <cstdint>

#include "engine/core/object.h"

struct R3xWorld;
struct R3xVolume;
struct R3xLight;
struct R3xPointLight;
struct R3xActorDef;
struct R3xAction;

// Position, heading, pitch and roll (angle units) and the index of the region that holds the
// position.
struct R3xPlacement {
  float x;
  float y;
  float z;
  float heading;
  float pitch;
  float roll;
  std::int32_t region;
};

// R3X_TYPE_ACTOR. The header's reference count is not used. Flags: R3X_FLAG_TRANSFORM_DIRTY,
// R3X_FLAG_HIDDEN, and R3X_FLAG_STATIC for the actors of a static definition.
struct R3xActor {
  R3xObjectHeader header;
  R3xPlacement placement;
  // Owned copies: the collision volume (never null) and a second volume or null.
  R3xVolume* volume;
  R3xVolume* secondVolume;
  float scale;
  float radius;
  std::int32_t currentActionIndex;
  // Into the definition's action array.
  R3xAction* currentAction;
  // One entry per part of the definition (owned array): the null part or a simple, 2D or 3D
  // sprite, each holding one reference for this actor.
  R3xObjectHeader** parts;
  // The regions other than the current one that the bounding sphere touches; a static actor
  // has no array and is linked only into its current region.
  std::uint32_t regionCount;
  std::uint32_t regionCapacity;
  std::int32_t* regions;
  // Owned; it records the actor's slot.
  R3xPointLight* pointLight;
  std::uintptr_t userData;
  R3xActorDef* definition;
  // The display back end's world-space vertex cache of a 3D sprite part (xyz triples, owned).
  std::uint32_t vertexCacheCapacity;
  float* vertexCache;
  // Built by r3xBuildObjectRotation. Row-major, rows forward, left, up (as r3xAnglesToMatrix).
  float rotation[9];
  // rotation x scale: a local point p lies at position + p.x row0 + p.y row1 + p.z row2.
  float scaledRotation[9];
  // The transpose divided by the scale: world to local.
  float inverseRotation[9];
  // The display back end's cache key: level of detail, position and part offset. An offset x of
  // 1e30 marks the cache invalid; every rotation build sets it.
  std::int32_t cachedLod;
  float cachedPosition[3];
  float cachedOffset[3];
  // The part index shown last, -1 before any; levels of detail switch back with hysteresis.
  std::int32_t lodShown;
};

// Flags that an actor takes over from its definition's default actor.
inline constexpr std::uint32_t R3X_ACTOR_INHERITED_FLAGS = R3X_FLAG_HIDDEN | R3X_FLAG_STATIC;

// A registered actor made from the definition's default actor: at the given placement (null:
// the default's), with copies of the volume (null: the default's) and of the second volume (or
// none), the user-data word, and references on every part; linked into the regions its
// bounding sphere touches. A scale of +-0 with a second volume takes that volume's radius (or
// second value) as scale and radius; a scale or radius still +-0 takes the default's. The tag
// (may be null) is entered in the dictionary unless another object holds it. Null, with nothing
// left behind, when the position lies outside every region or on any failure.
R3xActor* r3xCreateActor(R3xWorld* world, R3xActorDef* definition, const char* tag,
                         const R3xPlacement* placement, const R3xVolume* volume,
                         const R3xVolume* secondVolume, float scale, float radius,
                         std::uintptr_t userData);
// Leaves the regions, gives the definition's count back, destroys the point light, releases
// each part (destroying those that nothing else uses) and frees the actor with its volumes and
// caches. The unregistration result, R3X_ERR_BAD_PART_TYPE when a part of another type was met
// (the rest is still done), or R3X_ERR_FAILED, with nothing done, for a definition's default
// actor.
std::int32_t r3xDestroyActor(R3xWorld* world, R3xActor* actor);

std::uintptr_t r3xGetActorUserData(const R3xActor* actor);
// 0.
std::int32_t r3xGetActorPlacement(const R3xActor* actor, R3xPlacement* out);
R3xVolume* r3xGetActorVolume(const R3xActor* actor);
float r3xGetActorRadius(const R3xActor* actor);
// The part of a level of detail of an action; null for a non-actor or an index out of range.
R3xObjectHeader* r3xGetActorPart(const R3xActor* actor, std::uint32_t action, std::uint32_t level);

// 0, or R3X_ERR_FAILED when the index is not below the action count.
std::int32_t r3xSetActorCurrentAction(R3xActor* actor, std::uint32_t action);

// Moves the actor. With the same x, y and z only the angles change (and the transform is marked
// dirty when one differs). Otherwise the actor takes the region of the new position, is
// relinked into the regions it touches and its lamp follows. R3X_ERR_FAILED, with the actor
// where it was, when the position lies outside every region; R3X_ERR_FAILED when the relink
// fails (the actor has moved, linked into the regions reached so far; callers put the old
// placement back); the lamp's error when it cannot follow; 0.
std::int32_t r3xSetActorPlacement(R3xWorld* world, R3xActor* actor, const R3xPlacement* placement);

// Puts the part (null: the null part) in place of a level of detail, moving the reference from
// the old part (which is not destroyed) to the new one. R3X_ERR_FAILED for a non-actor or an
// index out of range, R3X_ERR_BAD_PART_TYPE for a part that is not the null part or a simple,
// 2D or 3D sprite (nothing changed); 0.
std::int32_t r3xReplaceActorPart(R3xActor* actor, std::uint32_t action, std::uint32_t level,
                                 R3xObjectHeader* part);

// Gives the actor a copy of the volume in place of its own. R3X_ERR_NO_MEMORY, with the old
// volume kept, when the copy cannot be made; 0.
std::int32_t r3xSetActorVolume(R3xWorld* world, R3xActor* actor, const R3xVolume* volume);

// Without scaleFlag only the radius changes. With it the scale follows the radius (scale x r /
// old radius, or r for an old radius of 0) and the transform is marked dirty. 0.
std::int32_t r3xSetActorRadius(R3xActor* actor, float radius, std::int32_t scaleFlag);
// Sets a positive scale and marks the transform dirty. With keepVolume 0 the collision volume
// keeps its absolute size and the radius becomes the larger of the volume's and the shown
// part's (the part's plus its offset's length). R3X_ERR_FAILED for a scale that is not positive.
std::int32_t r3xSetActorScale(R3xActor* actor, float scale, std::int32_t keepVolume);

// With a light: the actor's lamp shines with it (a lamp of radius 0 is made at the actor's
// position on first use). With null the lamp is destroyed. 0, or R3X_ERR_FAILED when the lamp
// cannot be made or the light is not a light.
std::int32_t r3xSetActorPointLight(R3xWorld* world, R3xActor* actor, R3xLight* light);

// 1 when hidden, else 0.
std::int32_t r3xIsActorHidden(const R3xActor* actor);
// 0.
std::int32_t r3xSetActorHidden(R3xActor* actor, std::int32_t hidden);
