// The world's BSP tree of planes, whose leaves are the regions: which region holds a point,
// which regions a sphere touches.
// Results: region indexes or R3X_NO_REGION; regions or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xRegion;

// One node of the world tree. All nodes of a world lie in one block; the first is the root.
struct R3xWorldNode {
  // A point is in front when a*x + b*y + c*z + d >= 0.
  float a;
  float b;
  float c;
  float d;
  R3xWorldNode* front;
  R3xWorldNode* back;
  // Region index + 1 at a leaf, 0 at an inner node.
  std::uint32_t leaf;
};

// No region: the point lies outside the tree.
inline constexpr std::int32_t R3X_NO_REGION = -1;

// The index of the region holding the point, or R3X_NO_REGION outside the tree (no tree, a
// missing child, or a leaf naming no region of the world). The planes are evaluated in double.
std::int32_t r3xFindRegionIndexAt(const R3xWorld* world, const float* point);
// The region holding the point, or null.
R3xRegion* r3xFindRegionAt(const R3xWorld* world, const float* point);

// Called for every region a sphere touches; a non-zero result ends the walk.
using R3xRegionCallback = std::int32_t (*)(R3xWorld* world, R3xRegion* region, void* user);

// Calls back every region the sphere touches (planes evaluated in float; a region reached
// through the planes of several nodes is called once per path). Returns the first non-zero
// callback result, else 0; R3X_ERR_FAILED when the walk's stack cannot grow. A callback may
// start other walks and relink objects: every walk has its own stack.
std::int32_t r3xQueryRegionsInSphere(R3xWorld* world, const float* centre, float radius,
                                     R3xRegionCallback callback, void* user);
