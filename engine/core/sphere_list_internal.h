// The engine's own functions of sphere_list.h, which the public header leaves out.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include "engine/core/sphere_list.h"

// Sphere i of a list held by an owner with that scale: its radius times the list's scale and
// the owner's, and its centre turned by the owner's rotation (rows: forward, left, up; as the
// owner's rotation build leaves it), scaled alike and moved to the owner's position. 0, or
// R3X_ERR_FAILED when i is not below the count. The actor-facing r3xGetSphereWorldRadius and
// r3xGetSphereWorldPosition read the owner's values and call these.
std::int32_t _r3xSphereWorldRadius(const R3xSphereList* instance, std::uint32_t i, float ownerScale,
                                   float* out);
std::int32_t _r3xSphereWorldPosition(const R3xSphereList* instance, std::uint32_t i,
                                     const float* ownerPosition, const float* rotation,
                                     float ownerScale, float* out);
