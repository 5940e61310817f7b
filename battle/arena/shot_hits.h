// What a shot does to a tank it reaches, in the shot's own sums: the shields that stop it on the
// side hit, the push of a direct hit along the shot's flight, and the share of a splash or blast
// by the tank's distance from its centre. The tank answers the questions (its hit side, shields,
// position) and carries the orders out (its hit report, its rigid body's pushes).
#pragma once

#include <cstdint>
#include <optional>

#include "battle/core/vector3.h"

// Hit sides as the tanks tell them.
inline constexpr std::int32_t kHitSideFront = 1;
inline constexpr std::int32_t kHitSideRear = 2;
inline constexpr std::int32_t kHitSideOther = 3;

// Whether the tank's shield bits cover the side: the front takes bits 0xF0, the rear 0x0F, any
// other side any bit.
bool ShieldCoversSide(std::uint32_t shieldBits, std::int32_t side);

// A direct hit's push along the shot's heading and pitch (angle units): impulse x (cos p cos h,
// cos p sin h, sin p x "!Impulse Recoil Air Factor").
Vector3 DirectHitPush(float impulse, float heading, float pitch);

// A tank's share of a splash or blast.
struct BlastShare {
  float ratio = 0.0f;         // the distance over the reach, 0 to 1
  std::int32_t damage = 0;    // damage - trunc(damage x ratio)
  Vector3 velocity{};         // the push away from the centre
  Vector3 angularVelocity{};  // the rocking about the horizontal axis across the push
};

// The share of a blast of `damage` at `centre` for a tank whose body is at `tank`, when the tank
// lies within `reach` on each axis and in distance; nothing beyond. The push is 0.5 x impulse
// inside a fifth of the reach and falls with the square of the ratio beyond. A tank at the centre
// itself is pushed straight up.
std::optional<BlastShare> BlastShareAt(const Vector3& centre, const Vector3& tank, float reach,
                                       std::int32_t damage, float impulse);

// Whether a splash reaches the tank: the segment from 2.0 above its body to the centre stays in
// the arena map's open space.
bool SplashReaches(const Vector3& centre, const Vector3& tank);
