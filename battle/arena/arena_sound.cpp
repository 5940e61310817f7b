#include "battle/arena/arena_sound.h"

ArenaSoundFn gArenaSound = nullptr;

int PlayArenaSound(std::uint32_t owner, std::uint32_t code, float x, float y) {
  return gArenaSound != nullptr ? gArenaSound(owner, code, x, y) : 0;
}
