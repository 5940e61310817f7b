// The positional front end: game objects name a sound with a SoundCode and a world point; the
// distance and bearing from the listener (the camera) decide volume and pan in the manager.
#pragma once

#include <cstdint>

#include "engine/r3x_core.h"

struct SoundBearing {
  int distance = 0;  // world units, octagonal: max(|dx|, |dy|) + min(|dx|, |dy|) / 2
  int bearing = 0;   // degrees 0 to 359, for the pan's sine
};

// Where a point lies as heard by a listener. Needs the engine's math tables (r3xInit).
SoundBearing LocateSound(const R3xPlacement& listener, float x, float y);

// Plays `code` at the world point (x, y), from the listener gListenerPlacement when the code is
// positional: a loop of the object `owner` through CSound::PlayLoop, else a one-shot. The
// manager's result (1 = playing).
int PlaySoundAt(std::uint32_t owner, std::uint32_t code, float x, float y);

// A one-shot straight ahead at a distance already known; nothing for a positional or loop code.
void PlaySoundAtDistance(std::uint32_t owner, std::uint32_t code, int distance);
