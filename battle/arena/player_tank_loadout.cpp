// CPlayerTank: the loadout the design screen sets, the view reset after a respawn or a refit,
// the entry into the design screen and the Controller's raise check.

#include <algorithm>

#include "battle/arena/arena_tools.h"
#include "battle/arena/bullet.h"
#include "battle/arena/input_event.h"
#include "battle/arena/mover.h"
#include "battle/arena/player_loadout_slots.h"
#include "battle/arena/player_tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "engine/r3x_core.h"
#include "host/interface/host_record.h"

namespace {

constexpr std::uint32_t kVodidorir = 3;
constexpr std::size_t kChassisRowStride = 10;
// The raise needs this much room above the body and a clear sweep to near the ceiling.
constexpr float kRiseHeadroom = 33.0f;
constexpr float kCeilingMargin = 5.0f;

std::int32_t ChassisInt(std::size_t first, std::uint32_t chassis) {
  return GetGameParamInt(first + std::min<std::uint32_t>(chassis, 4));
}
float ChassisFloat(std::size_t first, std::uint32_t chassis) {
  return GetGameParamFloat(first + std::min<std::uint32_t>(chassis, 4));
}

// A module that adds to a stock: kind, sub kind, module, stock, quantity row.
struct StockModule {
  std::int32_t kind;
  std::int32_t subKind;  // -1: any
  std::size_t module;
  std::size_t stock;
  GameParamRow quantity;
};
constexpr StockModule kStockModules[] = {
    {12, 12, kChainGunAmmoModule, kChainGunBulletStock, PARAM_MG_BULLET_QUANTITY},
    {14, 9, kFragShellModule, kFragShellStock, PARAM_FRAG_SHELLS_QUANTITY},
    {14, 10, kHeatShellModule, kHeatShellStock, PARAM_HEAT_SHELLS_QUANTITY},
    {14, 11, kApShellModule, kApShellStock, PARAM_AP_SHELLS_QUANTITY},
    {17, 13, kPhoenixModule, kPhoenixStock, PARAM_PHOENIX_QUANTITY_PER_PACK},
    {17, 14, kGuidedModule, kGuidedStock, PARAM_GUIDED_QUANTITY_PER_PACK},
    {17, 15, kDeactivatorMissileModule, kDeactivatorMissileStock,
     PARAM_DEACTIVATOR_QUANTITY_PER_PACK},
    {17, 16, kBatteryDrainModule, kBatteryDrainStock, PARAM_BATTERY_DRAIN_MISSILE_QUANTITY},
    {17, 17, kFlashModule, kFlashStock, PARAM_FLASH_MISSILE_QUANTITY},
    {18, 18, kProximityMineModule, kProximityMineStock, PARAM_PROXIMITY_QUANTITY_PER_PACK},
    {18, 19, kDetonationMineModule, kDetonationMineStock, PARAM_DETONATION_QUANTITY_PER_PACK},
    {18, 20, kDeactivatorMineModule, kDeactivatorMineStock, PARAM_DEACTIVATOR_MINE_QUANTITY},
    {20, -1, kReconCaptureModule, kReconCaptureStock, PARAM_RECON_CAPTURE_QUANTITY_PER_PACK},
    {23, -1, kMineSweeperModule, kMineSweepStock, PARAM_MINE_SWEEPER_QUANTITY},
    {25, -1, kRocketsModule, kRocketStock, PARAM_ROCKET_QUANTITY},
    {27, -1, kTurboModule, kTurboStock, PARAM_TURBO_BOOST_QUANTITY},
    {28, -1, kFlaresModule, kFlareStock, PARAM_FLARE_QUANTITY},
    {31, -1, kChaffModule, kChaffStock, PARAM_CHAFF_QUANTITY},
};

// Modules that are only fitted: kind, module.
constexpr std::pair<std::int32_t, std::size_t> kDevices[] = {
    {6, kStealthModule},         {7, kCloakModule},          {8, kDopplerRadarModule},
    {9, kPhaseMultiplierModule}, {10, kInfraRedModule},      {19, kFlagCatcherModule},
    {21, kControllerModule},     {22, kPowerReceiverModule}, {24, kSatelliteCameraModule},
    {26, kDampenerModule},       {29, kSharpshooterModule},  {30, kSpareDeviceModule},
};

}  // namespace

void CPlayerTank::AddShield(bool boost) {
  const std::uint32_t c = chassis;
  shieldMaximum += GetGameParamInt(boost ? PARAM_SHIELD_BOOST_AMOUNT : PARAM_SHIELD_AMOUNT);
  shieldDrain +=
      ChassisFloat(boost ? PARAM_DIZURORUV_BOOST_DRAIN : PARAM_DIZURORUV_SHIELD_DRAIN, c);
  shieldRecover +=
      ChassisFloat(boost ? PARAM_DIZURORUV_BOOST_RECOVER : PARAM_DIZURORUV_SHIELD_RECOVER, c);
  shieldChargeRate +=
      ChassisInt(boost ? PARAM_DIZURORUV_BOOST_CHARGE_RATE : PARAM_DIZURORUV_SHIELD_CHARGE_RATE,
                 c) /
      10;
  shieldTransferRate += ChassisInt(PARAM_DIZURORUV_SHIELD_TRANSFER_RATE, c) / 10;
  shieldDecayRate +=
      ChassisInt(boost ? PARAM_DIZURORUV_BOOST_DECAY_RATE : PARAM_DIZURORUV_SHIELD_DECAY_RATE, c) /
      10;
}

void CPlayerTank::ApplyModule(const LoadoutBay& bay) {
  switch (bay.kind) {
    case 1:
    case 2:
      AddShield(bay.kind == 2);
      return;
    case 4:
      modules[kReservePowerModule] = bay.record;
      stocks[kSpareBatteryStock] += GetGameParamInt(PARAM_RESERVE_POWER_QUANTITY);
      stocks[kSpareBatteryMaximum] = stocks[kSpareBatteryStock];
      return;
    case 5:
      modules[kSuperchargerModule] = bay.record;
      batteryCapacity = batteryCapacity * GetGameParamInt(PARAM_SUPERCHARGED_BATTERY_PERCENT) / 100;
      return;
    case 11:
      weaponSlots[kSlotChainGun] = bay.record;
      return;
    case 13:
      weaponSlots[kSlotCannon] = bay.record;
      return;
    case 15:
      if (bay.subKind >= 3 && bay.subKind <= 6) {
        weaponSlots[kSlotMarkI + static_cast<std::size_t>(bay.subKind - 3)] = bay.record;
      }
      return;
    default:
      break;
  }
  for (const auto& [kind, module] : kDevices) {
    if (kind == bay.kind) {
      modules[module] = bay.record;
      return;
    }
  }
  for (const StockModule& row : kStockModules) {
    if (row.kind == bay.kind && (row.subKind < 0 || row.subKind == bay.subKind)) {
      modules[row.module] = bay.record;
      stocks[row.stock] += GetGameParamInt(row.quantity);
      return;
    }
  }
}

void CPlayerTank::ApplyLoadout(const LoadoutConfig& config) {
  // A respawn without a new design re-applies this one.
  loadout_ = config;
  const std::int32_t spares = stocks[kSpareBatteryStock];
  weaponSlots.fill(nullptr);
  modules.fill(nullptr);
  flagCatcherOn = 0;
  stocks.fill(0);
  shieldDrain = 0.0f;
  shieldRecover = 0.0f;
  shieldChargeRate = 0;
  shieldTransferRate = 0;
  shieldDecayRate = 0;
  shieldMaximum = 0;
  const std::uint32_t c = std::min<std::uint32_t>(config.chassis, 4);
  const std::size_t base = PARAM_DIZURORUV_BAYS + kChassisRowStride * c;
  batteryCapacity = GetGameParamInt(base + (PARAM_DIZURORUV_BATTERY - PARAM_DIZURORUV_BAYS));
  turretRange =
      static_cast<float>(GetGameParamInt(base + (PARAM_DIZURORUV_TURRET - PARAM_DIZURORUV_BAYS)));
  armorMaximum = GetGameParamInt(base + (PARAM_DIZURORUV_ARMOR - PARAM_DIZURORUV_BAYS));
  critsMaximum = GetGameParamInt(base + (PARAM_DIZURORUV_CRITS - PARAM_DIZURORUV_BAYS));
  turboForceMultiplier = GetGameParamFloat(PARAM_TURBO_FORCE_MULTIPLIER);
  maxForwardThrust = ChassisFloat(PARAM_DIZURORUV_MAX_FORWARD_THRUST, c);
  maxReverseThrust = ChassisFloat(PARAM_DIZURORUV_MAX_REVERSE_THRUST, c);
  maxTurningThrust = ChassisFloat(PARAM_DIZURORUV_MAX_TURNING_THRUST, c);
  fineTurningThrust = ChassisFloat(PARAM_DIZURORUV_MAX_FINE_TURNING_THRUST, c);
  chassis = c;
  for (const LoadoutBay& bay : config.bays) {
    if (bay.record == nullptr) {
      break;  // the bays in use come first
    }
    ApplyModule(bay);
  }
  if (damageLevel < 0) {
    stocks[kSpareBatteryStock] = stocks[kSpareBatteryMaximum];
    armor = armorMaximum;
    crits = critsMaximum;
    battery = static_cast<float>(batteryCapacity);
  } else {
    stocks[kSpareBatteryStock] = std::min(spares, stocks[kSpareBatteryMaximum]);
    battery = std::min(battery, static_cast<float>(batteryCapacity));
    armor =
        armorPercent == 100.0f
            ? armorMaximum
            : static_cast<std::int32_t>(static_cast<float>(armorMaximum) * armorPercent * 0.01f);
    crits =
        critsPercent == 100.0f
            ? critsMaximum
            : static_cast<std::int32_t>(static_cast<float>(critsMaximum) * critsPercent * 0.01f);
  }
  selectedWeapon = nullptr;
  selectedShell = nullptr;
  SelectNextShell();
  SelectNextWeapon();
  Post(kPlayerInputAddress, MSG_COCKPIT_REFRESH, 0, nullptr);
  CreateCollisionSpheres(chassis);
  PostWords(MSG_TANK_CHASSIS, {chassis});
  ResetState();
  frontShield = 0;
  rearShield = 0;
  PostWords(MSG_TANK_DAMAGE_LEVEL, {static_cast<std::uint32_t>(damageLevel)});
  PostWords(MSG_DESIGN_MODE, {modules[kReconCaptureModule] != nullptr ? 1u : 0u});
  PostWords(MSG_DEFENSE_MODULE, {modules[kControllerModule] != nullptr ? 1u : 0u});
}

void CPlayerTank::ResetView() {
  LoadoutConfig config = loadout_;
  if (session_.readLoadout != nullptr) {
    session_.readLoadout(config);
  }
  ApplyLoadout(config);
  // With the cockpit: InvalidateCockpit.
  if (gCameraFollow == nullptr && session_.noDrawUntil != nullptr) {
    *session_.noDrawUntil = gFrameTime;  // a flash blank-out ends
  }
  reactivationTime = gFrameTime;
  deactivated = 0;
  satelliteView = 0;
  followShot = 0;
  barrelPitchTarget = 0.0f;
  turretHeadingTarget = 0.0f;
  turretStepTime = gFrameTime;
  turretCommandTime = gFrameTime;
  barrelPitch = 0.0f;
  turretHeading = 0.0f;
  throttleTarget = 0;
  throttle = 0;
  gCameraFollow = nullptr;
  turboOn = 0;
  ResetZoom();
  targetingOff = 1;
  target = 0;
  shieldAllocationStep = 4;
  shieldAllocation = 1.0f;
  for (const std::uint32_t command : {0x104Cu, 0x104Du, 0x1057u, 0x105Au}) {
    PostInputEvent(*this, {kInputCommand, command});
  }
  if (chassis == kVodidorir) {
    PostInputEvent(*this, {kInputCommand, 0x1056u});
  }
  if (modules[kRocketsModule] != nullptr) {
    rocketFuel = GetGameParamFloat(PARAM_ROCKET_FUEL_MAX);
  }
}

void CPlayerTank::EnterDesignMode(std::uint32_t flag) {
  if (deactivated != 0 || alive == 0) {
    return;
  }
  if (session_.host != nullptr) {
    savedScreenWidth = static_cast<std::uint32_t>(session_.host->screenWidth);
    savedScreenHeight = static_cast<std::uint32_t>(session_.host->screenHeight);
    savedViewFlags = session_.host->viewFlags;
    session_.host->viewFlags &= ~1u;
    session_.host->screenWidth = 640;
    session_.host->screenHeight = 480;
    if (session_.rebuildView != nullptr) {
      session_.rebuildView();
    }
  }
  ResetMotion(1, 1);
  frontShield = 0;
  rearShield = 0;
  flagCatcherOn = 0;
  modules[kFlagCatcherModule] = nullptr;
  shieldBits = 0;
  // With the design screen: its entry flag = flag, its second flag = flag or recon captures in
  // stock, the bays past its bay count cleared, then CDesignScreen::Open.
  static_cast<void>(flag);
  armorPercent = armorMaximum != 0
                     ? static_cast<float>(armor) * 100.0f / static_cast<float>(armorMaximum)
                     : 100.0f;
  critsPercent = critsMaximum != 0
                     ? static_cast<float>(crits) * 100.0f / static_cast<float>(critsMaximum)
                     : 100.0f;
  designScreenOpen = 1;
}

std::uint32_t CPlayerTank::CanRise(std::uint32_t fullCheck) const {
  if (modules[kControllerModule] == nullptr || raiseState != 0 || cloakOn != 0 || stealthOn != 0) {
    return 0;
  }
  if (fullCheck == 0) {
    return 1;
  }
  if (!std::all_of(momentum, momentum + 3, [](float m) { return m > -0.001f && m < 0.001f; }) ||
      bodyActor == nullptr || gMover == nullptr) {
    return 0;
  }
  R3xPlacement body{};
  r3xGetActorPlacement(bodyActor, &body);
  if (body.z + kRiseHeadroom > gWorldCeiling) {
    return 0;
  }
  return gMover->GetClearance(bodyActor, MoverCallbacks{}) >= gWorldCeiling - kCeilingMargin ? 1
                                                                                             : 0;
}
