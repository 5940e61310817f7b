// The default callbacks and the reporting of one contact to the hit callback.
// Results: filter bits; the hit gives R3X_DONE; reports give R3X_SWEEP_STOPPED or another value
// to go on.
#pragma once

#include <cstdint>

#include "engine/collide/sweep.h"

struct R3xSweepQuery;

// Every actor: its volume and its part, exact times.
std::uint32_t _r3xDefaultSweepFilter(R3xActor* actor, void* user);
// Passes region boundaries and stops at everything else, 0.001 before it.
std::int32_t _r3xDefaultSweepHit(R3xContact* contact, void* user, std::int32_t* pass,
                                 std::int32_t* reportRemaining, float* backoff);

// Asks the hit callback. R3X_SWEEP_STOPPED: the sweep stopped here, and the stop contact and the
// stop position are written. Anything else: it goes on.
std::int32_t _r3xReportSweepContact(R3xSweepQuery* query, R3xContact* contact);
// The same for sphere lists, which also write the remaining distance.
std::int32_t _r3xReportSweepListContact(R3xSweepQuery* query, R3xContact* contact);
