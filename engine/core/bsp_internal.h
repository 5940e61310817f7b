// The engine's own functions of bsp.h, which the public header leaves out.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include "engine/core/bsp.h"

// Checks a tree built from a world file before the world takes it: every child lies in the
// node array, the root is no node's child and no chain of children comes back to where it
// started (so walks end; two nodes may share a child), and every leaf names one of regionCount
// regions. 0, or R3X_ERR_FAILED (also out of memory).
std::int32_t _r3xCheckWorldTree(const R3xWorldNode* nodes, std::uint32_t nodeCount,
                                std::uint32_t regionCount);

// Whether a node is the child of two links; walks over such a tree must remember the nodes they
// reached (see R3xWorld::bspSharesNodes). Without memory to tell, it says yes: walks then only
// take the longer, always sound way.
bool _r3xWorldTreeSharesNodes(const R3xWorldNode* nodes, std::uint32_t nodeCount);
