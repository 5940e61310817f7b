// The candidate regions of a sweep: the regions around the start, then the regions the sphere
// enters through passable obstacles, by entry time.
// Results: R3X_DONE or R3X_SWEEP_FAILED; entries or null; the checks give true/false or a flag.
#pragma once

#include <cstdint>

struct R3xSweepQuery;
struct R3xSweepCandidate;
struct R3xActor;
struct R3xRegion;
struct R3xObstacleList;
struct R3xObstacle;

// Appends the region as a start region unless listed. R3X_DONE, or R3X_SWEEP_FAILED when the list
// is full.
std::int32_t _r3xAddCandidate(R3xSweepQuery* query, std::int32_t region);
// Inserts the region after every entry not later than time (raised to 0). R3X_DONE, or
// R3X_SWEEP_FAILED when full.
std::int32_t _r3xInsertCandidateByTime(R3xSweepQuery* query, std::int32_t region, float time);
// Moves the entry forward to the new, earlier time.
void _r3xResortCandidate(R3xSweepQuery* query, R3xSweepCandidate* entry, float time);
// The entry of the region, or null.
R3xSweepCandidate* _r3xFindCandidate(R3xSweepQuery* query, std::int32_t region);
// The first unvisited entry from scanStart on (scanStart then follows it), or null.
R3xSweepCandidate* _r3xNextUnvisitedCandidate(R3xSweepQuery* query);
// True when a region already tested holds the actor, which was then tested there.
bool _r3xCandidateTouchesRegion(const R3xSweepQuery* query, const R3xActor* actor);

// The regions whose cutting obstacles the start sphere overlaps, from the placement's region
// on. R3X_DONE, or R3X_SWEEP_FAILED for a full list, a region missing from the world, or a cutting
// obstacle of a kind that cannot lead anywhere.
std::int32_t _r3xGatherTouchedRegions(R3xSweepQuery* query, float radius);

// The region's obstacle list, or null when its record is of another type.
const R3xObstacleList* _r3xRegionObstacles(const R3xRegion* region);
// The number of leading obstacles that may lead into a neighbour, within the list.
std::uint32_t _r3xCuttingCount(const R3xObstacleList* list);
// 1 when the obstacle leads from the region into another region of the world; an obstacle
// naming no region of the world leads nowhere.
std::int32_t _r3xObstacleLeadsOut(const R3xSweepQuery* query, const R3xObstacle* obstacle,
                                  std::int32_t region);
