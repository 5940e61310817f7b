#include "battle/arena/arena_targets.h"

std::span<const ArenaTarget> ListArenaTargets() {
  return gListArenaTargets != nullptr ? gListArenaTargets() : std::span<const ArenaTarget>{};
}

const ArenaTarget* FindArenaTarget(std::uint32_t id) {
  for (const ArenaTarget& target : ListArenaTargets()) {
    if (target.id == id) {
      return &target;
    }
  }
  return nullptr;
}
