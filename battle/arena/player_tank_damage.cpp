// CPlayerTank: what hits do to the shields, armor and crits, the battery's charge, and the stop
// and power-down of ResetMotion.

#include <algorithm>

#include "battle/arena/arena_sound.h"
#include "battle/arena/bullet.h"
#include "battle/arena/player_loadout_slots.h"
#include "battle/arena/player_tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"
#include "engine/r3x_core.h"

namespace {

constexpr std::uint32_t kSoundHitShrike = 21;
constexpr std::uint32_t kSoundHitLaser1 = 22;
constexpr std::uint32_t kSoundHitLaser2 = 23;
constexpr std::uint32_t kSoundHitPlasma = 24;
constexpr std::uint32_t kSoundHitDeactivate = 25;
constexpr std::uint32_t kSoundMetalHit = 26;
constexpr std::uint32_t kSoundMissileHit = 27;
constexpr std::int32_t kPlasmaKind = 10;
constexpr std::int32_t kCritsWarning = 30;

struct HitKind {
  std::int32_t kind;
  GameParamRow shieldShare;
  std::uint32_t sound;
};
constexpr HitKind kHitKinds[] = {
    {0, PARAM_SHIELD_LAZER1_DAMAGE_PERCENT, kSoundHitLaser1},
    {1, PARAM_SHIELD_LAZER1_DAMAGE_PERCENT, kSoundHitLaser2},
    {2, PARAM_SHIELD_LAZER2_DAMAGE_PERCENT, kSoundHitLaser1},
    {3, PARAM_SHIELD_LAZER2_DAMAGE_PERCENT, kSoundHitLaser2},
    {4, PARAM_SHIELD_LAZER4_DAMAGE_PERCENT, kSoundHitLaser1},
    {5, PARAM_SHIELD_LAZER4_DAMAGE_PERCENT, kSoundHitLaser2},
    {6, PARAM_SHIELD_MG_DAMAGE_PERCENT, kSoundHitShrike},
    {7, PARAM_SHIELD_FRAG_DAMAGE_PERCENT, kSoundHitShrike},
    {8, PARAM_SHIELD_HEAT_DAMAGE_PERCENT, kSoundHitShrike},
    {9, PARAM_SHIELD_AP_DAMAGE_PERCENT, kSoundMetalHit},
    {10, PARAM_SHIELD_PLASMA_DAMAGE_PERCENT, kSoundHitPlasma},
    {11, PARAM_SHIELD_RECON_BASE_BOLT_DAMAGE_PERCENT, kSoundHitPlasma},
    {12, PARAM_SHIELD_DRONE_BOLT_DAMAGE_PERCENT, kSoundHitPlasma},
    {19, PARAM_SHIELD_DETONATE_MINE_DAMAGE_PERCENT, kSoundHitShrike},
    {20, PARAM_SHIELD_PROXIMITY_MINE_DAMAGE_PERCENT, kSoundHitShrike},
    {21, PARAM_SHIELD_DEACTIVATOR_MINE_DAMAGE_PERCENT, kSoundHitDeactivate},
    {22, PARAM_SHIELD_MISSILE_GUIDED_DAMAGE_PERCENT, kSoundMissileHit},
    {23, PARAM_SHIELD_MISSILE_DEACTIVATOR_DAMAGE_PERCENT, kSoundHitDeactivate},
    {24, PARAM_SHIELD_MISSILE_DRAIN_DAMAGE_PERCENT, kSoundHitDeactivate},
    {25, PARAM_SHIELD_MISSILE_FLASH_DAMAGE_PERCENT, kSoundHitDeactivate},
};

// A percentage of `value` of `maximum`; a maximum of 0 counts as full.
float Percent(std::int32_t value, std::int32_t maximum) {
  if (maximum == 0) {
    return 100.0f;
  }
  return static_cast<float>(value) * 100.0f / static_cast<float>(maximum);
}

}  // namespace

void CPlayerTank::ChargeBattery(float amount) {
  // Amounts that are not positive charge nothing.
  if (!(amount > 0.0f)) {
    return;
  }
  if (battery == 0.0f) {
    weaponsDirty = 1;
  }
  battery += amount;
  batteryDirty = 1;
  if (battery >= static_cast<float>(batteryCapacity)) {
    if (stocks[kSpareBatteryStock] < stocks[kSpareBatteryMaximum]) {
      battery -= static_cast<float>(batteryCapacity);
      ++stocks[kSpareBatteryStock];
      weaponsDirty = 1;
    } else {
      battery = static_cast<float>(batteryCapacity);
    }
  }
}

void CPlayerTank::PostDamageLevel(std::int32_t level) {
  lastPostedDamageLevel = level;
  PostWords(MSG_TANK_DAMAGE_LEVEL, {static_cast<std::uint32_t>(level)});
}

std::int32_t CPlayerTank::HitShield(std::int32_t& shield, std::int32_t share, std::int32_t kind,
                                    std::uint32_t& downTime, bool front) {
  const std::int32_t before = shield;
  if (before <= 0) {
    return std::max(share, 0);
  }
  shield -= kind == kPlasmaKind ? 5 * share : share;
  if (shield < 1) {
    shield = 0;
    downTime = static_cast<std::uint32_t>(
        GetGameParamInt(PARAM_DIZURORUV_SHIELD_MIN_DOWN_TIME + std::min<std::size_t>(chassis, 4)));
  } else {
    const auto delay = static_cast<std::uint32_t>(GetGameParamInt(PARAM_SHIELD_CHARGE_DOWNTIME)) +
                       (front ? 200u : 0u);
    (front ? frontShieldChargeDelay : rearShieldChargeDelay) = delay;
    if (GetGameParamInt(PARAM_FRONT_BACK_DOWNTIME_LINK) != 0) {
      (front ? rearShieldChargeDelay : frontShieldChargeDelay) = delay;
    }
  }
  (front ? frontShieldDirty : rearShieldDirty) = 1;
  return std::max(share - before, 0);
}

std::uint32_t CPlayerTank::TakeHit(std::int32_t damage, std::uint32_t sides, std::int32_t kind) {
  if (damageLevel < 0 || alive == 0) {
    return 0;
  }
  const HitKind* row = std::find_if(std::begin(kHitKinds), std::end(kHitKinds),
                                    [kind](const HitKind& r) { return r.kind == kind; });
  if (row == std::end(kHitKinds)) {
    return 0;
  }
  std::uint32_t sound = row->sound;
  // The share is a percentage: a table value outside 0-100 would let a shield take more than the
  // hit or give the armor back points.
  const std::int32_t share = std::clamp(GetGameParamInt(row->shieldShare), 0, 100);
  const std::int32_t absorbed = damage * share / 100;
  std::int32_t passing = damage - absorbed;
  const bool frontSide = (sides & 1) != 0;
  const bool rearSide = (sides & 2) != 0;
  if (absorbed != 0) {
    const std::int32_t frontShare = frontSide ? (rearSide ? absorbed / 2 : absorbed) : 0;
    const std::int32_t rearShare = rearSide ? (frontSide ? absorbed / 2 : absorbed) : 0;
    if (!frontSide && !rearSide) {
      passing += absorbed;
    }
    if (frontSide) {
      if (frontShield > 0) {
        sound = kSoundHitPlasma;
      }
      passing += HitShield(frontShield, frontShare, kind, frontShieldDownTime, true);
    }
    if (rearSide) {
      if (rearShield > 0) {
        sound = kSoundHitPlasma;
      }
      passing += HitShield(rearShield, rearShare, kind, rearShieldDownTime, false);
    }
  }
  ApplyHitEffect(kind, sides);
  if (passing != 0) {
    if (armor > 0) {
      armor -= passing;
      if (armor > 0) {
        passing = 0;
      } else {
        passing = -armor;
        armor = 0;
        PostDamageLevel(1);
      }
      armorDirty = 1;
      armorPercent = Percent(armor, armorMaximum);
    }
    if (passing != 0) {
      if (passing >= crits) {
        crits = 0;
        critsDirty = 1;
      } else {
        crits -= passing;
        if (crits < kCritsWarning && lastPostedDamageLevel < 2) {
          PostDamageLevel(2);
        }
        critsDirty = 1;
        critsPercent = Percent(crits, critsMaximum);
      }
    }
  }
  PlayArenaSoundAt(Address(), sound, 0.0f, 0.0f);
  return crits == 0 ? 1 : 0;
}

void CPlayerTank::ApplyHitEffect(std::int32_t kind, std::uint32_t sides) {
  if (kind < 21 || kind == 22) {
    return;
  }
  float strength = 1.0f;
  std::int32_t shield = 0;
  if ((sides & 1) != 0 && frontShield != 0) {
    shield = frontShield;
  } else if ((sides & 2) != 0 && rearShield != 0) {
    shield = rearShield;
  }
  // Without a shield maximum no shield can weaken the effect, and there is nothing to divide by.
  if (shield != 0 && shieldMaximum != 0) {
    strength = static_cast<float>(100 - 100 * shield / shieldMaximum) * 0.01f;
  }
  switch (kind) {
    case 21:
    case 23:
      if (strength > 0.01f) {
        deactivated = 1;
        turboOn = 0;
        const float time = static_cast<float>(GetGameParamInt(
            kind == 21 ? PARAM_DEACTIVATOR_MINE_DEACTIVATION_TIME : PARAM_DEACTIVATION_TIME));
        reactivationTime = gFrameTime + static_cast<std::uint32_t>(time * strength);
        ResetMotion(0, 1);
      }
      break;
    case 24:
      DrainBattery(strength * GetGameParamFloat(PARAM_BATTERY_DRAIN_AMOUNT));
      break;
    case 25:
      if (gCameraFollow == nullptr && session_.noDrawUntil != nullptr) {
        const auto time = static_cast<float>(
            GetGameParamInt(infraRedOn != 0 ? PARAM_FLASH_MISSILE_INFRA_RED_EFFECT_TIME
                                            : PARAM_FLASH_MISSILE_NORMAL_EFFECT_TIME));
        *session_.noDrawUntil =
            gFrameTime + static_cast<std::uint32_t>(static_cast<std::int32_t>(strength * time));
      }
      break;
    default:
      break;
  }
}

void CPlayerTank::ResetMotion(std::uint32_t shieldsOff, std::uint32_t fullStop) {
  if (shieldsOff != 0) {
    if (frontShieldOn != 0) {
      frontShieldOn = 0;
      frontShieldDirty = 1;
    }
    if (rearShieldOn != 0) {
      rearShieldOn = 0;
      rearShieldDirty = 1;
    }
  }
  if (fullStop != 0) {
    barrelPitchTarget = barrelPitch;
    turretHeadingTarget = turretHeading;
    turretStepTime = gFrameTime;
    turretCommandTime = gFrameTime;
    throttleTarget = 0;
    throttle = 0;
    driveForce = 0.0f;
    turnForce = 0.0f;
    turboOn = 0;
    turboEnd = 0;
    throttleDirty = 1;
    if (satelliteView != 0) {
      EndSatelliteView();
    }
    gCameraFollow = nullptr;
    gridMapShown = 0;
  } else if (battery == 0.0f) {
    SetThrottle(throttleTarget);
  }
  if (zoomLevel != 0) {
    ResetZoom();
  }
  if (stealthOn != 0) {
    PostWords(MSG_TANK_STEALTH, {0});
  }
  if (cloakOn != 0) {
    PostWords(MSG_TANK_CLOAK, {0});
  }
  // With the cockpit: outside the satellite view, CGameSession::SetInfraRed(0).
  if (modules[kRocketsModule] != nullptr) {
    rocketThrust = 0;
    nextRocketDrain = 0;
    turboEnd = 0;
    turboOn = 0;
    throttleTarget = 0;
    rocketFlight = 0;
    rocketBarDirty = 1;
  }
  fireHeld = 0;
  stealthOn = 0;
  cloakOn = 0;
  infraRedOn = 0;
  gSeeCloaked = 0;
  phaseMultiplierOn = 0;
  raiseState = 0;
  weaponsDirty = 1;
  outsideView = 0;
}
