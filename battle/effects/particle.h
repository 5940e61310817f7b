// One entry of the particle pool: a rain drop, a spark of a hit or a tower beam, or one segment of
// a tower's falling ring.
#pragma once

#include <cstdint>

enum class ParticleKind : std::uint8_t {
  kFree = 0,
  kRainDrop = 1,
  kBurst = 3,
  kSpark = 5,
  kRingSegment = 6,
};

struct Particle {
  ParticleKind kind = ParticleKind::kFree;
  // The colour of a burst particle.
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  // A ring segment's number, 0 to 31.
  std::uint32_t aux = 0;
  // Frames left to live.
  std::int32_t life = 0;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  // Velocity in world units per frame; a ring segment keeps its second end point here.
  float vx = 0.0f;
  float vy = 0.0f;
  float vz = 0.0f;
};
