// CPlayerTank: the energy step (battery charge and drain, the two shields), the rocket fuel and
// the damage of hard landings.

#include <algorithm>
#include <cmath>

#include "battle/arena/player_loadout_slots.h"
#include "battle/arena/player_tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"

namespace {

constexpr std::uint32_t kEnergyStep = 250;
// A late step charges for what passed, but a stall or a respawn gives no more than this.
constexpr std::uint32_t kLongestEnergyStep = 500;
constexpr std::uint32_t kTimerStep = 249;
constexpr std::uint32_t kRocketDrainStep = 200;
constexpr std::uint32_t kFallDestroyer = 0xFF0;
constexpr std::size_t kVodidorir = 3;

enum ChargeZone : std::size_t {
  kZonePowerReceiver,
  kZoneOwnDrone,
  kZoneReconCharge,
  kZoneReconLeech,
  kZoneOwnBase,
  kZoneEnemyBase,
};

void RunTimer(std::uint32_t& timer) { timer = timer > kTimerStep ? timer - kTimerStep : 0; }

float ChassisRow(std::size_t first, std::uint32_t chassis) {
  return GetGameParamFloat(first + std::min<std::size_t>(chassis, 4));
}

// A shield's percentage of the maximum as a nibble 0-5.
std::uint8_t ShieldNibble(std::int32_t shield, std::int32_t maximum) {
  const std::int32_t percent = shield >= maximum ? 100 : 100 * shield / maximum;
  return static_cast<std::uint8_t>((percent + 19) / 20);
}

}  // namespace

void CPlayerTank::CloakCheck() {
  if (modules[kCloakModule] != nullptr && frontShield == 0 && rearShield == 0) {
    weaponsDirty = 1;
  }
}

void CPlayerTank::HealInRecon(float seconds) {
  const auto heal = [seconds](float& percent, std::int32_t& points, std::int32_t maximum,
                              GameParamRow rate) {
    if (percent < 100.0f) {
      percent += seconds * GetGameParamFloat(rate);
      if (percent > 100.0f) {
        percent = 100.0f;
        points = maximum;
      } else {
        points = static_cast<std::int32_t>(static_cast<float>(maximum) * percent * 0.01f);
      }
    }
  };
  heal(armorPercent, armor, armorMaximum, PARAM_IN_RECON_ARMOR_HEAL_RATE);
  heal(critsPercent, crits, critsMaximum, PARAM_IN_RECON_CRITS_HEAL_RATE);
  const float charge = seconds * GetGameParamFloat(PARAM_RECON_INTERIOR_CHARGE_RATE);
  if (charge != 0.0f) {
    ChargeBattery(charge);
  }
}

void CPlayerTank::StepShield(ShieldSide& own, ShieldSide& other, float seconds) {
  if (*own.on != 0 && *own.downTime == 0) {
    if (*own.value < own.maximum) {
      if (*own.chargeDelay == 0 && DrainBattery(shieldDrain * seconds)) {
        CloakCheck();
        *own.value = std::min(*own.value + shieldChargeRate, own.maximum);
        *own.dirty = 1;
      }
    } else if (*own.value > own.maximum) {
      if (*other.value < other.maximum && *other.downTime == 0 && *other.on != 0) {
        const std::int32_t x = std::min(shieldTransferRate, *own.value - own.maximum);
        *own.value -= x;
        *other.value = std::min(*other.value + x, other.maximum);
        *other.dirty = 1;
      } else {
        *own.value -= shieldDecayRate;
        if (*own.value < own.maximum) {
          *own.value = own.maximum;
        } else if (shieldRecover * seconds != 0.0f) {
          ChargeBattery(shieldRecover * seconds);
        }
      }
      *own.dirty = 1;
    }
  } else if (*own.on == 0 && *own.value > 0) {
    if (own.front) {
      *own.value -= shieldDecayRate;
      if (*own.value < 0) {
        *own.value = 0;
      } else if (shieldRecover * seconds != 0.0f) {
        ChargeBattery(shieldRecover * seconds);
      }
    } else {
      if (shieldRecover * seconds != 0.0f) {
        ChargeBattery(shieldRecover * seconds);
      }
      *own.value = std::max(*own.value - shieldDecayRate, 0);
    }
    *own.dirty = 1;
    CloakCheck();
  }
}

void CPlayerTank::UpdateEnergy() {
  if (static_cast<std::int32_t>(gFrameTime - nextEnergyTick) < 0) {
    return;
  }
  if (target != 0) {
    targetDirty = 1;
  }
  const std::uint32_t elapsed =
      std::min(gFrameTime - nextEnergyTick + kEnergyStep, kLongestEnergyStep);
  nextEnergyTick = gFrameTime + kEnergyStep;
  const float seconds = static_cast<float>(elapsed) * 0.001f;
  RunTimer(frontShieldChargeDelay);
  RunTimer(rearShieldChargeDelay);
  RunTimer(frontShieldDownTime);
  RunTimer(rearShieldDownTime);
  if (designScreenOpen != 0) {
    HealInRecon(seconds);
    return;
  }
  float rate = 0.0f;
  if (raiseState == 2) {
    rate += GetGameParamFloat(PARAM_CONTROLLER_CHARGE_RATE);
  }
  if (modules[kPowerReceiverModule] != nullptr && chargeZones[kZonePowerReceiver] != 0) {
    rate += GetGameParamFloat(PARAM_POWER_RECEIVER_CHARGE_RATE);
  }
  if (chargeZones[kZoneOwnDrone] != 0) {
    rate += ChassisRow(PARAM_DIZURORUV_DRONE_CHARGE_RATE, chassis);
  }
  if (chargeZones[kZoneOwnBase] != 0) {
    rate += GetGameParamFloat(PARAM_BASE_CHARGE_RATE);
  }
  if (chargeZones[kZoneReconCharge] != 0) {
    rate += GetGameParamFloat(PARAM_RECON_CHARGE_RATE);
  }
  if (chargeZones[kZoneEnemyBase] != 0) {
    rate -= GetGameParamFloat(PARAM_BASE_LEECH_RATE);
  }
  if (chargeZones[kZoneReconLeech] != 0) {
    rate -= GetGameParamFloat(PARAM_RECON_LEECH_RATE);
  }
  float net = rate;
  if (std::any_of(momentum, momentum + 3, [](float m) { return std::fabs(m) >= 0.001f; })) {
    net -= ChassisRow(PARAM_DIZURORUV_MOVE_DRAIN_RATE, chassis);
  }
  if (chassis != kVodidorir) {
    net -= stealthOn != 0 ? GetGameParamFloat(PARAM_STEALTH_DRAIN) : 0.0f;
    net -= cloakOn != 0 ? GetGameParamFloat(PARAM_CLOAK_DRAIN) : 0.0f;
  }
  net -= infraRedOn != 0 ? GetGameParamFloat(PARAM_INFRA_RED_DRAIN) : 0.0f;
  net -= zoomLevel != 0 ? GetGameParamFloat(PARAM_SHARPSHOOTER_DRAIN) : 0.0f;
  const float amount = net * seconds;
  if (amount != 0.0f) {
    if (net > 0.0f) {
      ChargeBattery(amount);
    } else {
      DrainBattery(-amount);
    }
  }
  const auto frontMaximum =
      static_cast<std::int32_t>(static_cast<float>(shieldMaximum) * shieldAllocation);
  const auto rearMaximum =
      static_cast<std::int32_t>(static_cast<float>(shieldMaximum) * (2.0f - shieldAllocation));
  ShieldSide front{&frontShield,
                   frontMaximum,
                   &frontShieldOn,
                   &frontShieldDownTime,
                   &frontShieldChargeDelay,
                   &frontShieldDirty,
                   true};
  ShieldSide rear{
      &rearShield,      rearMaximum, &rearShieldOn, &rearShieldDownTime, &rearShieldChargeDelay,
      &rearShieldDirty, false};
  StepShield(front, rear, seconds);
  StepShield(rear, front, seconds);
  std::uint8_t bits = 0;
  if (shieldMaximum != 0) {
    bits = static_cast<std::uint8_t>(ShieldNibble(frontShield, shieldMaximum) * 16 +
                                     ShieldNibble(rearShield, shieldMaximum));
  }
  if (bits != shieldBits) {
    frontShieldDirty = 1;
    rearShieldDirty = 1;
    shieldBits = bits;
    UpdateShieldVisibility();
  }
  std::int32_t gauge = static_cast<std::int32_t>(rate * 10.0f);
  if (gauge == 0 && rate != 0.0f) {
    gauge = rate > 0.0f ? 1 : -1;
  } else {
    gauge = std::clamp(gauge, -100, 100);
  }
  chargeGauge = gauge;
  if (gauge != previousChargeGauge) {
    chargeGaugeDirty = 1;
  }
  previousChargeGauge = gauge;
}

void CPlayerTank::StopRockets() {
  rocketThrust = 0;
  nextRocketDrain = 0;
  turboEnd = 0;
  turboOn = 0;
  throttleTarget = 0;
  rocketBarDirty = 1;
}

void CPlayerTank::UpdateRockets() {
  if (rocketThrust == 0) {
    if (rocketFlight != 0 && airborne == 0) {
      rocketFlight = 0;
    }
    return;
  }
  if (nextRocketDrain == 0 || static_cast<std::int32_t>(gFrameTime - nextRocketDrain) < 0) {
    return;
  }
  if (carriedFlag != 0) {
    DropCarriedFlag(1);
  }
  nextRocketDrain = gFrameTime + kRocketDrainStep;
  rocketFuel -= GetGameParamFloat(PARAM_ROCKET_DRAIN_PER_200_MIL);
  rocketBarDirty = 1;
  if (rocketFuel <= 0.0f) {
    StopRockets();
    rocketFuelSet = 0;
    weaponsDirty = 1;
    --stocks[kRocketStock];
  }
}

std::int32_t CPlayerTank::CheckFallDamage() {
  const float height = position[2];
  if (fallPeakHeight < 0.0f) {
    if (airborne != 0) {
      fallPeakHeight = height;
    }
  } else {
    fallPeakHeight = std::max(fallPeakHeight, height);
    if (airborne == 0) {
      fallHeight = fallPeakHeight - height;
      fallPeakHeight = -1.0f;
    }
  }
  if (modules[kDampenerModule] != nullptr) {
    return 0;
  }
  const float s = contactImpulse[2] - mass * GetGameParamFloat(PARAM_FALLING_DAMAGE_MINIMUM_SPEED);
  if (s < 0.0f) {
    return 0;
  }
  if (fallPeakHeight - height > fallHeight) {
    fallHeight = fallPeakHeight - height;
  }
  if (fallHeight < GetGameParamFloat(PARAM_FALLING_DAMAGE_MINIMUM_FALL_HEIGHT)) {
    return 0;
  }
  const std::int32_t damage =
      static_cast<std::int32_t>(s * GetGameParamFloat(PARAM_FALLING_DAMAGE_FACTOR_LINEAR)) +
      static_cast<std::int32_t>(GetGameParamFloat(PARAM_FALLING_DAMAGE_FACTOR_CONSTANT));
  if (damage <= 0) {
    return 0;
  }
  std::int32_t rest = damage;
  if (armor > 0) {
    armorDirty = 1;
    if (rest <= armor) {
      armor -= rest;
      return damage;
    }
    rest -= armor;
    armor = 0;
  }
  if (crits > 0) {
    critsDirty = 1;
    if (rest < crits) {
      crits -= rest;
      return damage;
    }
    crits = 0;
    if (carriedFlag != 0) {
      DropCarriedFlag(1);
    }
    if (modules[kRocketsModule] != nullptr) {
      StopRockets();
    }
    PostWords(MSG_TANK_DESTROYED, {kFallDestroyer});
  }
  return damage;
}
