// Point lights: a light shining from a position within a radius. A point light keeps the list
// of regions it reaches, and each of those regions lists the light.
// Results: an object, or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/object.h"

struct R3xWorld;
struct R3xLight;
struct R3xPlacement;

// R3X_TYPE_POINT_LIGHT. Flags: R3X_FLAG_STATIC (never moved or resized) and
// R3X_FLAG_STATIC_INFLUENCE (its regions are given by hand, never computed). The header's
// reference count is not used.
struct R3xPointLight {
  R3xObjectHeader header;
  R3xLight* light;
  float position[3];
  float radius;
  // The regions the light reaches, ascending.
  std::uint32_t regionCount;
  std::uint32_t regionCapacity;
  std::int32_t* regions;
  // The slot of the actor whose lamp this is, or -1.
  std::int32_t ownerSlot;
};

// A registered point light at a position inside a region, referencing the light, without
// owner. With computeInfluence 1 it is added at once to the regions within its radius. Null,
// with nothing left behind, outside every region or on failure.
R3xPointLight* r3xCreatePointLight(R3xWorld* world, R3xLight* light, const float* position,
                                   float radius, std::int32_t computeInfluence);
// Clears the owning actor's lamp, leaves the regions, releases the light, unregisters and frees.
// The unregistration result.
std::int32_t r3xDestroyPointLight(R3xWorld* world, R3xPointLight* light);
// Moves the light to the placement's position and recomputes its regions unless they are
// static. R3X_ERR_FAILED for a static light or a position outside every region (nothing
// changed), or when the regions cannot all be listed; 0.
std::int32_t r3xMovePointLight(R3xWorld* world, R3xPointLight* light,
                               const R3xPlacement* placement);
// R3X_ERR_FAILED for a static light; with static influence nothing changes and the result is
// 0; otherwise stores the radius and recomputes the regions (R3X_ERR_FAILED when they cannot
// all be listed).
std::int32_t r3xSetPointLightRadius(R3xWorld* world, R3xPointLight* light, float radius);

// Set R3X_FLAG_STATIC and R3X_FLAG_STATIC_INFLUENCE. 0.
std::int32_t r3xSetLightStatic(R3xPointLight* light);
std::int32_t r3xSetLightStaticInfluence(R3xPointLight* light);

// Adds a light with static influence to a region by hand (once). 0; R3X_ERR_FAILED without
// static influence, for a region without dynamic information or outside the world, or out of
// memory.
std::int32_t r3xAddPointLightToRegion(R3xWorld* world, R3xPointLight* light, std::int32_t region);
