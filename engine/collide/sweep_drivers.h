// The drivers of a sweep: which regions the moving sphere (or sphere list) can reach and in
// which order, the obstacle and object tests of each, and the reporting of the contacts in time
// order, interleaved so that a region entered after the sweep stopped is never tested.
// Results: R3X_DONE or R3X_SWEEP_FAILED.
#pragma once

#include <cstdint>

struct R3xSweepQuery;
struct R3xSweepCandidate;
struct R3xSweepResult;
struct R3xRegion;
struct R3xObstacle;
struct R3xActor;

// Swept through the regions; a motion of length 0 goes to the overlap drivers.
std::int32_t _r3xSweepSphere(R3xSweepQuery* query);
std::int32_t _r3xSweepSphereList(R3xSweepQuery* query);
// Zero-length: overlaps at the start, reported in the order found.
std::int32_t _r3xOverlapSphere(R3xSweepQuery* query);
std::int32_t _r3xOverlapSphereList(R3xSweepQuery* query);
// Against the listed actors only, in array order.
std::int32_t _r3xSweepSphereAgainstList(R3xSweepQuery* query, std::uint32_t actorCount,
                                        R3xActor* const* actors);
std::int32_t _r3xSweepSphereListAgainstList(R3xSweepQuery* query, std::uint32_t actorCount,
                                            R3xActor* const* actors);

// What the obstacle tests of one region found so far, in times relative to its entry time.
struct R3xRegionSweepState {
  float blocking;
  float passableCross;
  std::int32_t crossedInto;
  float leave;
};

// Tests one candidate region from its entry time: its obstacles, then its actors. Ends the
// candidate scan instead when a blocking contact comes before the entry time.
std::int32_t _r3xSweepSphereRegion(R3xSweepQuery* query, R3xSweepCandidate* entry,
                                   float* earliestBlocking);
// The common tail of the line, plane, XY edge and polygon cases: the touch, the region behind a
// passable obstacle, the crossing and the leave.
std::int32_t _r3xAddSweepCandidate(R3xSweepQuery* query, const R3xSweepResult* result,
                                   R3xRegion* region, R3xObstacle* obstacle, std::int32_t passable,
                                   float entryTime, R3xRegionSweepState* state);
