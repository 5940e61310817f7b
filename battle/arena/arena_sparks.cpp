#include "battle/arena/arena_sparks.h"

ArenaSparksFn gArenaSparks = nullptr;

void EmitArenaSparks(const float* top, const float* bottom) {
  if (gArenaSparks != nullptr) {
    gArenaSparks(top, bottom);
  }
}
