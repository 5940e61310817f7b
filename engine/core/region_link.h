// Linking objects (actors) into the regions their bounding spheres reach, so that drawing and
// collision find them region by region.
// Results: R3X_DONE, R3X_LINK_LIST_FULL or a negative R3X_ERR_ code; the unlink gives 0.
#pragma once

#include <cstdint>

#include "engine/core/error.h"

struct R3xWorld;
struct R3xRegion;
struct R3xActor;

// A region's actor list or the actor's region list or path array could not grow.
inline constexpr std::int32_t R3X_LINK_LIST_FULL = -1;

// Relinks the actor with its radius times its scale after it moved out of region oldRegion
// (its current region when it stayed; -1 for none). As _r3xLinkObjectRegions.
std::int32_t r3xRelinkObjectRegions(R3xWorld* world, R3xActor* actor, std::int32_t oldRegion);
// Removes the actor from every region it lists and from its current region; empties its list.
// 0.
std::int32_t r3xUnlinkObjectRegions(R3xWorld* world, R3xActor* actor);
