// Directional lights: a light shining along a direction into the regions given by hand.
// Results: an object, or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/object.h"

struct R3xWorld;
struct R3xLight;

// R3X_TYPE_DIRECTIONAL_LIGHT. Flag R3X_FLAG_STATIC. The header's reference count is not used.
struct R3xDirectionalLight {
  R3xObjectHeader header;
  R3xLight* light;
  float direction[3];
  // Ascending.
  std::uint32_t regionCount;
  std::uint32_t regionCapacity;
  std::int32_t* regions;
};

// A registered directional light referencing the light; null on failure.
R3xDirectionalLight* r3xCreateDirectionalLight(R3xWorld* world, R3xLight* light,
                                               const float* direction);
// Leaves its regions, releases the light, unregisters and frees. The unregistration result.
std::int32_t r3xDestroyDirectionalLight(R3xWorld* world, R3xDirectionalLight* light);
// Sets R3X_FLAG_STATIC. 0.
std::int32_t r3xSetDirectionalLightStatic(R3xDirectionalLight* light);
// Adds the light to a region once, at the front of the region's light list. 0; R3X_ERR_FAILED
// for a region without dynamic information or outside the world, or out of memory.
std::int32_t r3xAddDirectionalLightToRegion(R3xWorld* world, R3xDirectionalLight* light,
                                            std::int32_t region);
