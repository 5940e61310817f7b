#include "battle/arena/arena_particles.h"

ArenaParticles gArenaParticles;

void EmitArenaParticles(const ParticleBurst& burst) {
  if (gArenaParticles.burst != nullptr) {
    gArenaParticles.burst(burst);
  }
}

void EmitArenaSparks(const float* top, const float* bottom) {
  if (gArenaParticles.sparks != nullptr) {
    gArenaParticles.sparks(top, bottom);
  }
}
