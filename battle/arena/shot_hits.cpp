#include "battle/arena/shot_hits.h"

#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "engine/r3x_core.h"

namespace {

constexpr float kFixedPushRatio = 0.2f;
constexpr float kFixedPush = 0.5f;
constexpr float kPushFalloff = 0.02f;
constexpr float kSightRaise = 2.0f;

}  // namespace

bool ShieldCoversSide(std::uint32_t shieldBits, std::int32_t side) {
  switch (side) {
    case kHitSideFront:
      return (shieldBits & 0xF0u) != 0;
    case kHitSideRear:
      return (shieldBits & 0x0Fu) != 0;
    default:
      return shieldBits != 0;
  }
}

Vector3 DirectHitPush(float impulse, float heading, float pitch) {
  const float air = GetGameParamFloat(PARAM_IMPULSE_RECOIL_AIR_FACTOR);
  const float cosPitch = r3xCosUnits(pitch);
  return {impulse * cosPitch * r3xCosUnits(heading), impulse * cosPitch * r3xSinUnits(heading),
          impulse * r3xSinUnits(pitch) * air};
}

std::optional<BlastShare> BlastShareAt(const Vector3& centre, const Vector3& tank, float reach,
                                       std::int32_t damage, float impulse) {
  const float ratio = GetDistanceRatio(tank.data(), centre.data(), reach);
  if (ratio == -1.0f) {
    return std::nullopt;
  }
  BlastShare share;
  share.ratio = ratio;
  share.damage = damage - static_cast<std::int32_t>(static_cast<float>(damage) * ratio);
  const Vector3 away = Difference(tank, centre);
  const float length = r3xSqrt(Dot(away, away));
  // The original divides by the length even when it is 0.
  const Vector3 normal = length > 0.0f ? Scaled(away, 1.0f / length) : Vector3{0.0f, 0.0f, 1.0f};
  const float factor = ratio < kFixedPushRatio ? kFixedPush : kPushFalloff / (ratio * ratio);
  const float air = GetGameParamFloat(PARAM_IMPULSE_RECOIL_AIR_FACTOR);
  share.velocity = {normal[0] * factor * impulse, normal[1] * factor * impulse,
                    normal[2] * factor * impulse * air};
  share.angularVelocity = Scaled(Cross(normal, {0.0f, 0.0f, 1.0f}),
                                 GetGameParamFloat(PARAM_PROXIMITY_HIT_ROCKING_IMPULSE));
  return share;
}

bool SplashReaches(const Vector3& centre, const Vector3& tank) {
  if (gArenaMap == nullptr) {
    return false;
  }
  const Vector3 raised{tank[0], tank[1], tank[2] + kSightRaise};
  return gArenaMap->IsSegmentClear(raised.data(), centre.data()) == 1;
}
