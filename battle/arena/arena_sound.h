// The arena objects' way to the positional sound front end, which lives beside the arena in the
// effects: the game session installs the two calls when the library loads; until then (and in
// tests that install none) a request plays nothing.
#pragma once

#include <cstdint>

struct ArenaSound {
  // As PlaySoundAt: a sound code for an owner at the world point (x, y).
  int (*playAt)(std::uint32_t owner, std::uint32_t code, float x, float y) = nullptr;
  // As PlaySoundAtDistance: a one-shot straight ahead at a distance.
  void (*playAtDistance)(std::uint32_t owner, std::uint32_t code, int distance) = nullptr;
};

extern ArenaSound gArenaSound;

int PlayArenaSoundAt(std::uint32_t owner, std::uint32_t code, float x, float y);
void PlayArenaSoundAtDistance(std::uint32_t owner, std::uint32_t code, int distance);
