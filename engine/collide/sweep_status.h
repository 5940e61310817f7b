// What the steps of a sweep answer one another.
// Results: constants only.
#pragma once

#include <cstdint>

#include "engine/core/error.h"

// A driver, region, object or part test, candidate list step or contact append that cannot go
// on: the sweep fails. Success is R3X_DONE.
inline constexpr std::int32_t R3X_SWEEP_FAILED = -1;
// A reported contact stopped the sweep; any other answer lets it go on.
inline constexpr std::int32_t R3X_SWEEP_STOPPED = 0;
// The actor shows no part with a volume to test.
inline constexpr std::int32_t R3X_SWEEP_NO_PART = 0;
