// The one fixed pool of short-lived particles: hit bursts, tower sparks and rings, and the rain
// that falls around the camera. Emitters scan from the first entry upward and take free entries
// only; nothing is allocated per particle.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "battle/effects/particle.h"
#include "engine/r3x_core.h"

struct R3xCamera;

enum class WeatherMode : std::uint8_t { kNone = 0, kRain = 1 };

class CParticlePool {
 public:
  static constexpr std::size_t kSize = 20000;
  static constexpr std::size_t kRainDrops = 10000;

  // Non-negative numbers; the runtime's rand unless a test scripts them.
  using RandomSource = std::function<std::uint32_t()>;

  CParticlePool();
  explicit CParticlePool(RandomSource random);

  // Up to `attempts` particles at the position, each offset inside a ball of radius 10 and
  // scaled by a random speed factor; an attempt whose offset falls outside the ball makes none.
  // 0, or R3X_ERR_FAILED when the free entries ran out before every attempt was made.
  std::int32_t EmitParticleBurst(ParticleKind kind, std::uint32_t attempts, const float position[3],
                                 const float velocity[3], float spread, std::uint32_t maxLife,
                                 std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // Up to three sparks falling from top to bottom, and a ring of 32 segments on the 5th call and
  // every 10th after it. 0.
  std::int32_t EmitSparks(const float top[3], const float bottom[3]);
  // Mode kRain takes the first 10000 entries, whatever they held, as drops around the camera;
  // kNone lets the falling drops land and end. R3X_ERR_FAILED, with nothing changed, when the mode
  // is already in force.
  std::int32_t StartWeatherParticles(const R3xCamera& camera, WeatherMode mode);
  // The same as mode kNone, for a caller that has no camera (rain falls around one).
  std::int32_t StopWeatherParticles();

  // Every entry free; the weather stays. Rain in force lays its drops again around the camera,
  // so that rain which began before the first sky frame still falls. The sky drawing calls this
  // on its first frame.
  void Reset(const R3xCamera& camera);

  // Hands every live entry, in pool order, to draw and then moves and ages it; nothing while the
  // pool is idle. The lens flare and particle drawing of each frame runs this with its line and
  // point drawer, and the camera of the frame that rain drops wrap around.
  template <typename Draw>
  void DrawAndAge(const R3xCamera& camera, Draw&& draw) {
    if (count_ == 0) {
      return;
    }
    for (Particle& particle : entries_) {
      if (particle.kind != ParticleKind::kFree) {
        draw(static_cast<const Particle&>(particle));
        Age(camera, particle);
      }
    }
  }

  const std::vector<Particle>& Entries() const { return entries_; }
  std::int32_t Count() const { return count_; }
  WeatherMode Mode() const { return mode_; }

 private:
  struct RingPoint {
    float x;
    float y;
  };

  // rand () mod modulus, for a modulus above 0.
  std::int32_t Draw(std::uint32_t modulus);
  // The first 10000 entries, whatever they held, become drops around the camera.
  void LayRain(const R3xCamera& camera);
  void PlaceRainDrop(const R3xCamera& camera, Particle& drop);
  void Age(const R3xCamera& camera, Particle& particle);
  void Free(Particle& particle);
  void MakeRing(const float top[3], const float bottom[3]);
  // Offers free entries, in pool order, to `fill` until `tries` of them have been offered or the
  // pool ends; returns the tries left. Each offered entry uses one try, taken or not.
  template <typename Fill>
  std::uint32_t OfferFreeEntries(std::uint32_t tries, Fill fill) {
    for (Particle& particle : entries_) {
      if (tries == 0) {
        break;
      }
      if (particle.kind != ParticleKind::kFree) {
        continue;
      }
      --tries;
      fill(particle, tries);
    }
    return tries;
  }

  RandomSource random_;
  std::vector<Particle> entries_;
  std::int32_t count_ = 0;
  WeatherMode mode_ = WeatherMode::kNone;
  // Counts down to the next ring; the first comes on the 5th call.
  std::int32_t ringCountdown_ = 5;
  bool ringBuilt_ = false;
  std::array<RingPoint, 32> ring_{};
};

// The library's one pool is the atmosphere's (CAtmosphere::Particles), whose weather starts and
// stops its rain and whose sky state hands it to the sky drawing (which frees it on its first
// frame) and to the flare and particle drawing. Placeholder until the arena objects reach it
// through the session: the bullet hits and the missile explosions emit bursts into it and the
// defense towers sparks.
