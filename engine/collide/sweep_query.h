// The state of one sweep that the obstacle tests read and write.
// Results: records only.
#pragma once

#include <cstdint>

#include "engine/collide/sweep_segment.h"

struct R3xSphereList;

// The sweep entry points add the rest of the query with them: the contact list, world,
// placement, candidate regions, testFlagged, mode, filter and hit callbacks, user word and
// result slots.
struct R3xSweepQuery {
  R3xSweepSegment segment;
  // The sphere list being swept, attached to an actor; null for a single sphere.
  R3xSphereList* sphereList;
  // Added to the radius of every sphere-list member.
  float memberMargin;
  // The member whose test gave the earliest touch; 0 for single spheres.
  std::int32_t memberIndex;
};
