#include "battle/arena/arena_particles.h"

ArenaParticles gArenaParticles;

void EmitArenaParticles(const ParticleBurst& burst) {
  if (gArenaParticles.burst != nullptr) {
    gArenaParticles.burst(burst);
  }
}
