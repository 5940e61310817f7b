// Builds small worlds for tests, as the world loaders will: regions in one block, registered in
// order (so a region's slot is its index) with dynamic information, and a BSP tree of planes.
// Test-only: the engine gets its worlds from world files.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/bsp_internal.h"
#include "engine/r3x.h"

struct TestWorldNode {
  // In front when a*x + b*y + c*z + d >= 0.
  float plane[4];
  // Indexes into the node list, -1 for no child.
  int front;
  int back;
  // Region index + 1 for a leaf, 0 for an inner node.
  std::uint32_t leaf;
};

// A leaf of region index `region`.
TestWorldNode MakeTestLeaf(std::uint32_t region);
// An inner node with the plane x = at (in front: x >= at).
TestWorldNode MakeTestSplitX(float at, int front, int back);

struct TestWorldSpec {
  std::uint32_t regionCount;
  std::vector<TestWorldNode> nodes;
  // Regions made without dynamic information (as sky regions are): nothing links into them.
  std::vector<std::uint32_t> regionsWithoutInfo;
  // Tags "R1", "R2" ... entered in the dictionary.
  bool tagged = false;
};

// A new world with the regions and the tree (checked by _r3xCheckWorldTree), or null.
R3xWorld* MakeTestWorld(const TestWorldSpec& spec);

// Three slabs along x: region 0 for x < 0, region 1 for 0 <= x < 10, region 2 for x >= 10.
TestWorldSpec MakeThreeSlabs();

// A comb of `planes` planes x = 0, 1, ..., planes - 1, node k at depth k: region k holds
// k - 1 <= x < k (region 0: x < 0) and region `planes` holds x >= planes - 1.
TestWorldSpec MakeComb(std::uint32_t planes);

// A balanced tree over nx by ny square cells of the given size from the origin: the cell
// (i, j) is region j * nx + i; points beyond the grid belong to the nearest border cell.
TestWorldSpec MakeGrid(std::uint32_t nx, std::uint32_t ny, float cell);

// An actor definition of `actions` actions under the tag, each shown by a 2D sprite part of its
// own with the radius and, for a volume radius above 0, a sphere volume of that radius; null on
// failure.
R3xActorDef* MakeTestActorModel(R3xWorld* world, const char* tag, std::uint32_t actions,
                                float partRadius, float volumeRadius);

// One region between the planes z = 0 and z = ceiling; no region below or above.
TestWorldSpec MakeFloorToCeiling(float ceiling);

// The regions that a sphere query reaches, in the order reached.
std::vector<std::int32_t> FindRegionsInSphere(R3xWorld* world, const float* centre, float radius);
