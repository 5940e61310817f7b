// The sparks that a defense tower carrying a recon drone throws to the ground, emitted into the
// session's particle pool. The effects sit above the arena objects, so the game session sets the
// function when the library loads; until then, and in tests that leave it unset, no sparks fly.
#pragma once

using ArenaSparksFn = void (*)(const float* top, const float* bottom);

extern ArenaSparksFn gArenaSparks;

// Emits through gArenaSparks when one is set.
void EmitArenaSparks(const float* top, const float* bottom);
