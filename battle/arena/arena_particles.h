// The arena objects' way to the particle pool, which lives beside the arena in the effects: the
// game session installs the burst and the sparks when the library loads; until then (and in tests
// that install none) nothing shows.
#pragma once

#include <cstdint>

// What EmitParticleBurst takes: a particle kind, attempts, where, a base velocity with its
// random spread, a lifetime limit in frames and a colour.
struct ParticleBurst {
  std::int32_t kind = 0;
  std::uint32_t attempts = 0;
  float position[3] = {};
  float velocity[3] = {};
  float spread = 0.0f;
  std::uint32_t maxLife = 0;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

struct ArenaParticles {
  void (*burst)(const ParticleBurst& burst) = nullptr;
  // The sparks a defense tower carrying a recon drone throws down from `top` to `bottom`.
  void (*sparks)(const float* top, const float* bottom) = nullptr;
};

extern ArenaParticles gArenaParticles;

void EmitArenaParticles(const ParticleBurst& burst);
void EmitArenaSparks(const float* top, const float* bottom);
