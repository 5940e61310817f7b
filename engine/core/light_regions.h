// The two sides of a light's reach: the light's ascending list of region indexes and each
// region's list of the lights that reach it. Shared by point and directional lights.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xObjectHeader;

// A light's list of region indexes, kept ascending without repeats.
struct R3xLightRegionList {
  std::uint32_t& count;
  std::uint32_t& capacity;
  std::int32_t*& regions;
};

enum class R3xRegionLightPlace { kFront, kBack };

// Adds the light to the region's light list (at the front or the back) and the region to the
// light's list. 0, also when the region is listed already (nothing changes then);
// R3X_ERR_FAILED, with nothing changed, for a region without dynamic information or outside
// the world, or when a list cannot grow.
std::int32_t _r3xAddLightRegion(R3xWorld* world, R3xObjectHeader* light, R3xLightRegionList list,
                                std::int32_t region, R3xRegionLightPlace place);

// Removes the light from every region its list holds and empties the list.
void _r3xLeaveLightRegions(R3xWorld* world, const R3xObjectHeader* light, R3xLightRegionList list);

// The last step of destroying a point or directional light that has left its regions: releases
// the light it shines with, takes the record out of the dictionary and the world, and frees its
// tag, its region list and the record itself. The unregistration result.
std::int32_t _r3xFreeLightSource(R3xWorld* world, R3xObjectHeader* source, R3xObjectHeader* light,
                                 std::int32_t* regions);
