#include "battle/arena/arena_sound.h"

ArenaSound gArenaSound;

int PlayArenaSoundAt(std::uint32_t owner, std::uint32_t code, float x, float y) {
  return gArenaSound.playAt != nullptr ? gArenaSound.playAt(owner, code, x, y) : 0;
}

void PlayArenaSoundAtDistance(std::uint32_t owner, std::uint32_t code, int distance) {
  if (gArenaSound.playAtDistance != nullptr) {
    gArenaSound.playAtDistance(owner, code, distance);
  }
}
