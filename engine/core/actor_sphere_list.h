// Where the spheres of a sphere list stand in the world once an actor holds the list as its
// volume.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

struct R3xSphereList;

// Sphere i's radius times the list's and the owning actor's scale. 0, or R3X_ERR_FAILED for an
// index not below the count or a list without owner.
std::int32_t r3xGetSphereWorldRadius(const R3xSphereList* instance, std::uint32_t i, float* out);
// Sphere i's centre placed by the owning actor, whose rotation is rebuilt first. 0, or
// R3X_ERR_FAILED for an index not below the count or a list without owner.
std::int32_t r3xGetSphereWorldPosition(const R3xSphereList* instance, std::uint32_t i, float* out);
