// The half of the world draw that no back end owns: the camera's visibility leaf in the face
// tree of its region, the visible-list decoding into the render context's region stamps, the
// bounding-sphere cull with the planes each region crosses, the faces' render method look-up,
// and the actors shown in a region with the part their level of detail chooses. The Glide world
// draw walks the world through it, and so do the software drawers.
// Results: R3X_DONE, R3X_VISIBLE_NONE or R3X_VISIBLE_NO_MEMORY.
#pragma once

#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/core/render_method.h"

struct R3xCamera;
struct R3xRegion;
struct R3xRegionInfo;
struct R3xWorld;

// Stamps kept beyond the region count, so that a few regions more need no new array.
inline constexpr std::uint32_t R3X_SPARE_REGION_STAMPS = 100;

// Nothing is visible: the camera stands outside the world's regions, in a region without mesh
// geometry or without a visibility leaf where it stands.
inline constexpr std::int32_t R3X_VISIBLE_NONE = 0;
// The region stamps or the actor work array could not be allocated.
inline constexpr std::int32_t R3X_VISIBLE_NO_MEMORY = -1;

// A new zeroed stamp array, with no region decoded, when the one kept has no room for the region
// count and the spare stamps. R3X_DONE, or R3X_VISIBLE_NO_MEMORY without stamps.
std::int32_t _r3xPrepareRegionStamps(R3xRenderContext* context, std::uint32_t regionCount);

// Stamps the regions that the visible list of the camera's leaf names with a new visit stamp
// when the camera's region is not the one last decoded; in the same region the earlier stamps
// stand, whichever leaf the camera is in now. Makes the stamps first when the frame could not,
// or the world gained regions since. R3X_DONE, R3X_VISIBLE_NONE or R3X_VISIBLE_NO_MEMORY.
std::int32_t _r3xFindVisibleRegions(const R3xWorld* world, R3xRenderContext* context,
                                    const R3xCamera* camera);

// The region of the index when the stamps mark it visible and its bounding sphere is not
// culled: the planes the sphere crosses are then the plane mask and the clip mask, the region is
// counted among those drawn and its light list (none without region information) is the render
// context's. Null otherwise.
const R3xRegion* _r3xEnterVisibleRegion(const R3xWorld* world, R3xRenderContext* context,
                                        const R3xCamera* camera, std::uint32_t index);

// The face's render method with an indirect one looked up; 0 (never drawn) for an indirect
// index beyond the table.
inline R3xRenderMethod _r3xResolveRenderMethod(const R3xRenderContext* context,
                                               R3xRenderMethod method) {
  if ((method & R3X_RENDER_INDIRECT) == 0) {
    return method;
  }
  const std::uint32_t index = method & R3X_RENDER_INDIRECT_INDEX;
  return index < context->indirect.count ? context->indirect.methods[index] : 0;
}

// Gathers in the actor work array, in the region's order, every shown actor of the region with
// the part its level of detail chooses for the camera's position (null for an index beyond its
// parts). R3X_DONE with their count in *chosen, or R3X_VISIBLE_NO_MEMORY when the work array
// cannot grow.
std::int32_t _r3xChooseRegionActors(R3xWorld* world, R3xRenderContext* context,
                                    const R3xCamera* camera, const R3xRegionInfo* info,
                                    std::uint32_t* chosen);
