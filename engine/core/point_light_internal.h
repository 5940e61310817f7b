// The engine's own functions of point_light.h, which the public header leaves out.
// Results: an object, or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include "engine/core/point_light.h"

// A copy of the point light (light, radius, flags) at the placement's position, by the same
// rules.
R3xPointLight* _r3xCopyPointLight(R3xWorld* world, const R3xPointLight* source,
                                  const R3xPlacement* placement, std::int32_t computeInfluence);

// Removes the light from every region it lists and empties its list.
void _r3xUnlinkLightRegions(R3xWorld* world, R3xPointLight* light);

// Recomputes the regions within the light's radius. 0, or R3X_ERR_FAILED when a list cannot
// grow (the regions reached so far stay listed).
std::int32_t _r3xUpdateLightInfluence(R3xWorld* world, R3xPointLight* light);
