// The working state that the rule actions of region blocks, visibility trees, obstacles and the
// world tree share during one parse. Records move from here into the region (and from there
// into the world) as each is finished, so that whatever an error leaves behind is owned by
// exactly one of the two and freed once.
// Results: records or null; 0 or PAR_STOP (parse_result.h); true or false.
#pragma once

#include <cstdint>

#include "engine/world/parse_list.h"

struct R3xParseContext;
struct R3xRegion;
struct R3xLight;

// A VISNODE or WORLDNODE as written: its numbers are resolved when the whole tree is known.
struct R3xParsedTreeNode {
  float plane[4];
  // VISLISTINDEX or WORLDREGIONTAG.
  std::int32_t value;
  std::int32_t front;
  std::int32_t back;
};

struct R3xRegionWork {
  // The region block: N records, owned here until the first of them is registered (the world
  // then frees the block with its regions).
  R3xRegion* regions;
  std::uint32_t regionCount;
  // Records taken so far.
  std::uint32_t regionsTaken;
  bool blockOwnedByWorld;
  bool blockEnded;

  // The region being built (a REGION, ACTIVEGEOMETRYREGION or SKYREGION), until it is
  // registered; null between regions.
  R3xRegion* open;
  bool openIsSky;
  std::int32_t infoType;
  // A light made for AMBIENTLIGHT, registered in the world; the geometry references it.
  R3xLight* ambient;
  std::uint32_t renderVertexCount;
  // R3xProximalRegion entries.
  R3xParseList proximal;
  bool proximalGiven;
  // R3xRegionFace entries, each owning its UV and index arrays.
  R3xParseList faces;
  float floor[4];
  // R3xObstacle entries, each owning its geometry record and user data.
  R3xParseList obstacles;
  std::uint32_t cuttingCount;
  // R3xParsedTreeNode entries, and R3xVisibleList entries owning their region arrays.
  R3xParseList visNodes;
  R3xParseList visLists;

  // The world tree: R3xParsedTreeNode entries; the world takes the built nodes at its end.
  R3xParseList worldNodes;
  bool worldTreeOpen;
  // Nodes of the world tree that the world took, for checking its leaves against a region
  // block that comes after it.
  std::uint32_t worldNodeCount;
};

// The context's work record, made on first use; null after reporting "out of memory".
R3xRegionWork* _parRegionWork(R3xParseContext* context);

// The next record of the block, cleared, made the region being built with the tag; null after
// "NUMREGIONS is invalid" (the tag is then freed).
R3xRegion* _parTakeRegion(R3xParseContext* context, R3xRegionWork* work, char* tag);
// Registers the region being built; one that cannot be registered is freed. 0, or PAR_STOP after
// the message.
std::int32_t _parAddFinishedRegion(R3xParseContext* context, R3xRegionWork* work,
                                   R3xRegion* region);

// Frees the obstacle records of a list that no region has taken.
void _parFreeObstacles(R3xParseList* obstacles);

// Checks the leaves of the world's tree against the regions of the block, once both exist.
// 0, or PAR_STOP after "WORLDREGIONTAG %d is out of range".
std::int32_t _parCheckWorldTreeLeaves(R3xParseContext* context, const R3xRegionWork* work);

// Checks that no FRONTTREE or BACKTREE number of the nodes names the first node (the root) and
// that no chain of them leads from a node back to itself, so that a walk from the root ends. Two
// nodes may name the same child; numbers outside 1 to the node count lead nowhere.
bool _parTreeLinksAreSound(const R3xParseList* nodes);
