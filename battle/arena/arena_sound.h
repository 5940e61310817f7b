// How the arena objects make sounds: one function that plays a SoundCode for an object at a world
// point, as the effects' positional front end does. The effects sit above the arena objects, so
// the game session sets the function when the library loads; until then, and in tests that leave
// it unset, the objects are silent. Tests set a recorder in its place.
#pragma once

#include <cstdint>

using ArenaSoundFn = int (*)(std::uint32_t owner, std::uint32_t code, float x, float y);

extern ArenaSoundFn gArenaSound;

// Plays through gArenaSound: its result, or 0 when none is set.
int PlayArenaSound(std::uint32_t owner, std::uint32_t code, float x, float y);
