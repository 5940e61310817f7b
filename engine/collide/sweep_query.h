// The state of one sweep: what the entry points set up, the drivers and tests read and write.
// Results: records only.
#pragma once

#include <cstdint>

#include "engine/collide/sweep.h"
#include "engine/collide/sweep_segment.h"
#include "engine/core/actor.h"

struct R3xSphereList;

// One region that the sweep may reach.
struct R3xSweepCandidate {
  // Into the world's region array.
  std::int32_t region;
  // The distance along the motion at which the sphere reaches the region (0 around the start).
  float entryTime;
  // The entry time plus the earliest time at which the sphere is wholly behind one of the
  // region's lines or planes; bookkeeping only.
  float exitTime;
  // 1 for the regions around the start, until the centre crosses into one before any blocking
  // contact; bookkeeping only.
  std::int32_t atStart;
  std::int32_t visited;
};

inline constexpr std::uint32_t R3X_SWEEP_CANDIDATES = 128;

struct R3xSweepQuery {
  R3xSweepSegment segment;
  // The sphere list being swept, attached to an actor; null for a single sphere.
  R3xSphereList* sphereList;
  // Added to the radius of every sphere-list member.
  float memberMargin;
  // The member whose test gave the earliest touch; 0 for single spheres.
  std::int32_t memberIndex;
  // Owned.
  R3xContactList* contacts;
  R3xWorld* world;
  // The working copy of the actor's placement, or the caller's placement record.
  R3xPlacement* placement;
  R3xPlacement workPlacement;
  // The candidate regions: the ones around the start in the order found, then the others by
  // entry time. scanStart is where the search for the next unvisited one begins.
  std::uint32_t candidateCount;
  std::uint32_t scanStart;
  R3xSweepCandidate candidates[R3X_SWEEP_CANDIDATES];
  // Nonzero: obstacles flagged FLOOR are tested too.
  std::int32_t testFlagged;
  // The obstacle test options.
  std::uint32_t mode;
  R3xSweepFilterFn filter;
  R3xSweepHitFn hit;
  void* user;
  float* outPosition;
  float* outRemaining;
  std::int32_t wantRemaining;
};
