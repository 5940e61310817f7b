// Linking objects (actors) into the regions their bounding spheres reach, so that drawing and
// collision find them region by region.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xRegion;
struct R3xActor;

// Relinks the actor with its radius times its scale after it moved out of region oldRegion
// (its current region when it stayed; -1 for none). As _r3xLinkObjectRegions.
std::int32_t r3xRelinkObjectRegions(R3xWorld* world, R3xActor* actor, std::int32_t oldRegion);
// Removes the actor from every region it lists and from its current region; empties its list.
// 0.
std::int32_t r3xUnlinkObjectRegions(R3xWorld* world, R3xActor* actor);
