#include "battle/effects/particle_pool.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#include "engine/r3x_core.h"
#include "platform/kernel/random.h"

namespace {

// An offset of -10 to 10 on each axis is used only inside the ball of radius 10.
constexpr std::int32_t kOffsetRange = 21;
constexpr std::int32_t kOffsetBias = 10;
constexpr std::int32_t kOffsetLimit = 100;

constexpr float kRingRadius = 1.5f;
constexpr float kRingAngleStep = 16.0f;
constexpr std::int32_t kRingCallPeriod = 10;
constexpr std::uint32_t kRingSegments = 32;

constexpr float kBurstDrag = 0.95f;
constexpr float kBurstGravity = 0.0025f;
constexpr float kRingFall = 0.5f;

// Frames to live for a fall of `frames` frames: trunc + 1, at least 1 so that every particle
// reaches the end of its life even when its end lies above it or its position is not finite.
std::int32_t LifeFrom(float frames) {
  if (!std::isfinite(frames) || frames < 0.0f) {
    return 1;
  }
  constexpr float kLongest = static_cast<float>(std::numeric_limits<std::int32_t>::max() / 2);
  return static_cast<std::int32_t>(std::fmin(frames, kLongest)) + 1;
}

}  // namespace

CParticlePool::CParticlePool()
    : CParticlePool([] { return static_cast<std::uint32_t>(platform::CrtRand()); }) {}

CParticlePool::CParticlePool(RandomSource random) : random_(std::move(random)), entries_(kSize) {}

std::int32_t CParticlePool::Draw(std::uint32_t modulus) {
  return static_cast<std::int32_t>(random_() % modulus);
}

std::int32_t CParticlePool::EmitParticleBurst(ParticleKind kind, std::uint32_t attempts,
                                              const float position[3], const float velocity[3],
                                              float spread, std::uint32_t maxLife, std::uint8_t red,
                                              std::uint8_t green, std::uint8_t blue) {
  attempts = OfferFreeEntries(attempts, [&](Particle& particle, std::uint32_t) {
    const std::int32_t ox = Draw(kOffsetRange) - kOffsetBias;
    const std::int32_t oy = Draw(kOffsetRange) - kOffsetBias;
    const std::int32_t oz = Draw(kOffsetRange) - kOffsetBias;
    if (ox * ox + oy * oy + oz * oz > kOffsetLimit) {
      return;
    }
    const float f = static_cast<float>(Draw(kOffsetRange) - kOffsetBias) * 0.5f + 1.0f;
    particle.vx = (velocity[0] + static_cast<float>(ox) * spread) * f;
    particle.vy = (velocity[1] + static_cast<float>(oy) * spread) * f;
    particle.vz = (velocity[2] + static_cast<float>(oz) * spread) * f;
    particle.x = position[0];
    particle.y = position[1];
    particle.z = position[2];
    particle.kind = kind;
    // A maximum of 0 lives one frame rather than dividing by zero.
    particle.life = maxLife == 0 ? 1 : static_cast<std::int32_t>(random_() % maxLife + 1);
    particle.aux = 0;
    particle.red = red;
    particle.green = green;
    particle.blue = blue;
    ++count_;
  });
  return attempts == 0 ? 0 : R3X_ERR_FAILED;
}

std::int32_t CParticlePool::EmitSparks(const float top[3], const float bottom[3]) {
  if (!ringBuilt_) {
    for (std::uint32_t i = 0; i < kRingSegments; ++i) {
      const float angle = kRingAngleStep * static_cast<float>(i);
      ring_[i] = {kRingRadius * r3xCosUnits(angle), kRingRadius * r3xSinUnits(angle)};
    }
    ringBuilt_ = true;
  }
  OfferFreeEntries(3, [&](Particle& particle, std::uint32_t) {
    const std::int32_t ox = Draw(kOffsetRange) - kOffsetBias;
    const std::int32_t oy = Draw(kOffsetRange) - kOffsetBias;
    if (ox * ox + oy * oy > kOffsetLimit) {
      return;
    }
    particle = Particle{};
    particle.kind = ParticleKind::kSpark;
    particle.x = top[0] + static_cast<float>(ox) * 0.125f;
    particle.y = top[1] + static_cast<float>(oy) * 0.125f;
    particle.z = top[2] - 0.05f * static_cast<float>(Draw(11));
    particle.vz = static_cast<float>(Draw(kOffsetRange) - kOffsetBias) * 0.0125f - 0.5f;
    particle.life = LifeFrom((bottom[2] - particle.z) / particle.vz);
    ++count_;
  });
  if (--ringCountdown_ == 0) {
    ringCountdown_ = kRingCallPeriod;
    MakeRing(top, bottom);
  }
  return 0;
}

void CParticlePool::MakeRing(const float top[3], const float bottom[3]) {
  const std::int32_t life = LifeFrom((top[2] - bottom[2]) * 2.0f);
  OfferFreeEntries(kRingSegments, [&](Particle& particle, std::uint32_t segment) {
    const RingPoint& first = ring_[segment];
    const RingPoint& second = ring_[(segment + 1) % kRingSegments];
    particle = Particle{};
    particle.kind = ParticleKind::kRingSegment;
    particle.aux = segment;
    particle.x = top[0] + first.x;
    particle.y = top[1] + first.y;
    particle.z = top[2];
    particle.vx = top[0] + second.x;
    particle.vy = top[1] + second.y;
    particle.vz = top[2];
    particle.life = life;
    ++count_;
  });
}

std::int32_t CParticlePool::StartWeatherParticles(const R3xCamera& camera, WeatherMode mode) {
  if (mode == WeatherMode::kNone) {
    return StopWeatherParticles();
  }
  if (mode == mode_) {
    return R3X_ERR_FAILED;
  }
  LayRain(camera);
  mode_ = mode;
  return 0;
}

void CParticlePool::LayRain(const R3xCamera& camera) {
  for (std::size_t i = 0; i < kRainDrops; ++i) {
    Particle& drop = entries_[i];
    // A particle that was live is already counted; it simply ends.
    if (drop.kind == ParticleKind::kFree) {
      ++count_;
    }
    drop = Particle{};
    drop.kind = ParticleKind::kRainDrop;
    PlaceRainDrop(camera, drop);
  }
}

std::int32_t CParticlePool::StopWeatherParticles() {
  if (mode_ == WeatherMode::kNone) {
    return R3X_ERR_FAILED;
  }
  mode_ = WeatherMode::kNone;
  return 0;
}

void CParticlePool::PlaceRainDrop(const R3xCamera& camera, Particle& drop) {
  const float reach = camera.farDistance;
  // The square's side in whole units; at least 1, also for a far distance that is not usable.
  const float side = 2.0f * reach + 1.0f;
  const std::uint32_t n =
      std::isfinite(side) && side >= 1.0f
          ? static_cast<std::uint32_t>(std::fmin(side, static_cast<float>(1u << 30)))
          : 1u;
  drop.x = camera.x - reach + static_cast<float>(Draw(n));
  drop.y = camera.y - reach + static_cast<float>(Draw(n));
  const std::int32_t height = 300 + Draw(601);
  drop.vx = -static_cast<float>(Draw(3));
  drop.vy = -static_cast<float>(Draw(3));
  const std::int32_t speed = 5 + Draw(11);
  drop.vz = -static_cast<float>(speed);
  // Start on a height the drop falls through in whole frames, landing on 0.
  const std::int32_t frames = height / speed;
  drop.life = frames + 1;
  drop.z = static_cast<float>(frames * speed);
}

void CParticlePool::Age(const R3xCamera& camera, Particle& particle) {
  switch (particle.kind) {
    case ParticleKind::kRainDrop: {
      particle.x += particle.vx;
      particle.y += particle.vy;
      particle.z += particle.vz;
      const float reach = camera.farDistance;
      if (particle.x - camera.x < -reach) {
        particle.x += 2.0f * reach;
      } else if (particle.x - camera.x > reach) {
        particle.x -= 2.0f * reach;
      }
      if (particle.y - camera.y < -reach) {
        particle.y += 2.0f * reach;
      } else if (particle.y - camera.y > reach) {
        particle.y -= 2.0f * reach;
      }
      if (--particle.life <= 0) {
        if (mode_ == WeatherMode::kRain) {
          PlaceRainDrop(camera, particle);
        } else {
          Free(particle);
        }
      }
      return;
    }
    case ParticleKind::kBurst:
      particle.x += particle.vx;
      particle.y += particle.vy;
      particle.z += particle.vz;
      particle.vx *= kBurstDrag;
      particle.vy *= kBurstDrag;
      particle.vz -= kBurstGravity;
      break;
    case ParticleKind::kSpark:
      particle.z += particle.vz;
      break;
    case ParticleKind::kRingSegment:
      particle.z -= kRingFall;
      particle.vz -= kRingFall;
      break;
    case ParticleKind::kFree:
      return;
  }
  if (--particle.life <= 0) {
    Free(particle);
  }
}

void CParticlePool::Free(Particle& particle) {
  particle.kind = ParticleKind::kFree;
  --count_;
}

void CParticlePool::Reset(const R3xCamera& camera) {
  for (Particle& particle : entries_) {
    particle = Particle{};
  }
  count_ = 0;
  // A restart of rain in force is refused, so its drops are laid again here.
  if (mode_ == WeatherMode::kRain) {
    LayRain(camera);
  }
}
