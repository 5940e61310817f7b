// The engine's own functions of region_link.h, which the public header leaves out.
// Results: R3X_DONE, R3X_LINK_LIST_FULL or a negative R3X_ERR_ code.
#pragma once

#include "engine/core/region_link.h"

// Takes the actor out of region oldRegion when that is not its current region and, unless it
// is static, out of every region it lists; then links it into every region that the sphere of
// the given radius around its position reaches (a static actor: only its current region) and
// lists those other than the current one. R3X_DONE; R3X_LINK_LIST_FULL, or
// R3X_ERR_FAILED when the walk's stack cannot grow: the regions reached so far stay linked and
// listed, and the next relink starts by unlinking them.
std::int32_t _r3xLinkObjectRegions(R3xWorld* world, R3xActor* actor, float radius,
                                   std::int32_t oldRegion);

// Removes the actor's entry from the region. R3X_DONE, also when the actor was not there, or
// R3X_ERR_REGION_LIST_EMPTY when nothing is linked into the region.
std::int32_t _r3xUnlinkObjectRegion(R3xWorld* world, R3xRegion* region, R3xActor* actor);
