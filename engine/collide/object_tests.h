// The tests of a sweep against other actors: a bounding test, the filter, then the actor's own
// volume and its current part as the filter asks, each giving at most one contact. A sphere
// list is tested member by member; a single sphere is a list of one.
// Results: R3X_DONE or R3X_SWEEP_FAILED; filter bits; actors or null.
#pragma once

#include <cstdint>

struct R3xSweepQuery;
struct R3xSweepCandidate;
struct R3xRegion;
struct R3xActor;

// The filter's answer as the sweep uses it: 0 for R3X_SWEEP_IGNORE, else the kept bits with
// touch and box tests added.
std::uint32_t _r3xAskSweepFilter(R3xSweepQuery* query, R3xActor* actor);

// The actors of the region not met before, swept from entry time T. R3X_DONE, or
// R3X_SWEEP_FAILED for a failed append or part test, an empty actor slot or a volume of an
// untested type.
std::int32_t _r3xSweepSphereObjects(R3xSweepQuery* query, R3xSweepCandidate* entry,
                                    const R3xRegion* region, float entryTime);
// One actor, swept from entry time T (an actor with the null volume gives nothing).
std::int32_t _r3xSweepObject(R3xSweepQuery* query, R3xActor* actor, float entryTime);
// The volume of the actor's current part, with the filter bits.
std::int32_t _r3xSweepSpherePart(R3xSweepQuery* query, R3xActor* actor, std::uint32_t bits,
                                 float entryTime);

// The zero-length tests of one actor: overlaps become touches at time 0. R3X_DONE, or
// R3X_SWEEP_FAILED for a volume of an untested type; the part test's result is not passed on.
std::int32_t _r3xOverlapObject(R3xSweepQuery* query, R3xActor* actor);
std::int32_t _r3xOverlapSpherePart(R3xSweepQuery* query, R3xActor* actor, std::uint32_t bits);
// The actors of the region not met before, at rest; failures as for the swept form.
std::int32_t _r3xOverlapSphereObjects(R3xSweepQuery* query, const R3xRegion* region);

// The actor in the world's slot, or null.
R3xActor* _r3xActorInSlot(const R3xSweepQuery* query, std::int32_t slot);
