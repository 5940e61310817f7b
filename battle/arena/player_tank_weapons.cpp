// CPlayerTank: firing the guns, laying mines, launching missiles, choosing the weapon, the shell
// and the target.

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/byte_writer.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/missile.h"
#include "battle/arena/player_loadout_slots.h"
#include "battle/arena/player_tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "common/messages.h"
#include "engine/r3x_core.h"

namespace {

constexpr std::uint32_t kSoundFireMissile = 30;
constexpr std::uint32_t kSoundFireDetMine = 32;
constexpr std::uint32_t kMineFireInterval = 500;
constexpr std::uint32_t kZoomedFireBit = 0x1000000;
constexpr std::int32_t kNoWeaponRow = 5;

struct GunRow {
  std::uint32_t type;
  GameParamRow fireRate;
  // Energy weapons: the battery drain; ammunition weapons: kNoDrain and their stock.
  GameParamRow drain;
  std::size_t stock;
};
constexpr GameParamRow kNoDrain = static_cast<GameParamRow>(-1);
constexpr GunRow kGuns[] = {
    {3, PARAM_CHAIN_GUN_FIRE_RATE, kNoDrain, kChainGunBulletStock},
    {4, PARAM_MARK_I_FIRE_RATE, PARAM_MARK_I_DRAIN, 0},
    {5, PARAM_MARK_II_FIRE_RATE, PARAM_MARK_II_DRAIN, 0},
    {6, PARAM_MARK_IV_FIRE_RATE, PARAM_MARK_IV_DRAIN, 0},
    {7, PARAM_PLASMA_CANNON_FIRE_RATE, PARAM_PLASMA_CANNON_DRAIN, 0},
    {8, PARAM_CANNON_FRAG_FIRE_RATE, kNoDrain, kFragShellStock},
    {9, PARAM_CANNON_HEAT_FIRE_RATE, kNoDrain, kHeatShellStock},
    {10, PARAM_CANNON_AP_FIRE_RATE, kNoDrain, kApShellStock},
};

struct MissileRow {
  std::uint32_t command;
  std::int32_t kind;
  std::size_t stock;
  GameParamRow impulse;
  GameParamRow fireRate;
};
constexpr MissileRow kMissiles[] = {
    {0x1042, CMissile::kGuided, kGuidedStock, PARAM_GUIDED_MISSILE_LAUNCH_IMPULSE,
     PARAM_GUIDED_MISSILE_FIRE_RATE},
    {0x1043, CMissile::kPhoenix, kPhoenixStock, PARAM_PHOENIX_MISSILE_LAUNCH_IMPULSE,
     PARAM_PHOENIX_MISSILE_FIRE_RATE},
    {0x1044, CMissile::kDeactivator, kDeactivatorMissileStock,
     PARAM_DEACTIVATOR_MISSILE_LAUNCH_IMPULSE, PARAM_OTHER_MISSILE_FIRE_RATE},
    {0x1066, CMissile::kFlash, kFlashStock, PARAM_FLASH_MISSILE_LAUNCH_IMPULSE,
     PARAM_OTHER_MISSILE_FIRE_RATE},
    {0x1065, CMissile::kBatteryDrain, kBatteryDrainStock,
     PARAM_BATTERY_DRAIN_MISSILE_LAUNCH_IMPULSE, PARAM_OTHER_MISSILE_FIRE_RATE},
};

}  // namespace

void CPlayerTank::StartFireInterval() {
  weaponReady = 0;
  lastFire = gFrameTime;
  // With the cockpit: SetCrosshairReady(0), the crosshair's just-fired column.
}

void CPlayerTank::FireWeapon() {
  if (alive == 0 || weaponReady == 0) {
    return;
  }
  fireTrigger = 0;
  StartFireInterval();
  const GunRow* gun = std::find_if(std::begin(kGuns), std::end(kGuns),
                                   [this](const GunRow& row) { return row.type == weaponWord; });
  if (gun == std::end(kGuns)) {
    return;
  }
  fireInterval = static_cast<std::uint32_t>(GetGameParamInt(gun->fireRate));
  float cost = 0.0f;
  if (gun->drain == kNoDrain) {
    if (stocks[gun->stock] <= 0) {
      return;
    }
    --stocks[gun->stock];
  } else {
    cost = GetGameParamFloat(gun->drain);
  }
  float damage = 1.0f;
  if (cost > 0.0f) {
    if (phaseMultiplierOn != 0 && weaponWord != 7) {
      cost *= GetGameParamFloat(PARAM_PHASE_MULTIPLIES_COST);
      damage = GetGameParamFloat(PARAM_PHASE_MULTIPLIES_DAMAGE);
    }
    if (!DrainBattery(cost)) {
      return;
    }
  }
  if (zoomLevel != 0) {
    weaponWord |= kZoomedFireBit;
  }
  const std::uint32_t shot = Fire(damage);
  SendState(MSG_TANK_FIRE, shot);
  weaponWord &= 0xFFFF;
}

void CPlayerTank::LayMine(std::uint32_t kind) {
  if (alive == 0 || weaponReady == 0) {
    return;
  }
  StartFireInterval();
  fireInterval = kMineFireInterval;
  switch (kind) {
    case 1:
      --stocks[kDetonationMineStock];
      detonationPending = 1;
      break;
    case 2:
      --stocks[kProximityMineStock];
      break;
    case 3:
      --stocks[kDeactivatorMineStock];
      break;
    default:
      return;
  }
  weaponsDirty = 1;
  PlayArenaSoundAt(Address(), kSoundFireDetMine, 0.0f, 0.0f);
  arena::ByteWriter writer;
  writer.U32(kind);
  writer.U32(Address());
  writer.U32(team);
  writer.U32(Address());
  writer.F32(position[0]);
  writer.F32(position[1]);
  writer.F32(position[2]);
  Post(kNetworkAddress, MSG_CREATE_MINE, static_cast<std::uint32_t>(writer.size()),
       writer.bytes().data());
}

void CPlayerTank::PostMissileLaunch(const R3xPlacement& from, std::int32_t kind) {
  arena::ByteWriter writer;
  writer.U32(Address());
  writer.I32(kind);
  writer.F32(from.x);
  writer.F32(from.y);
  writer.F32(from.z);
  writer.F32(from.heading);
  writer.F32(from.pitch);
  Post(kNetworkAddress, MSG_CREATE_MISSILE, static_cast<std::uint32_t>(writer.size()),
       writer.bytes().data());
}

void CPlayerTank::LaunchMissile(std::uint32_t command) {
  if (alive == 0 || weaponReady == 0) {
    return;
  }
  const MissileRow* row =
      std::find_if(std::begin(kMissiles), std::end(kMissiles),
                   [command](const MissileRow& r) { return r.command == command; });
  StartFireInterval();
  if (row == std::end(kMissiles)) {
    return;
  }
  R3xPlacement from{};
  if (barrelActor != nullptr) {
    r3xGetActorPlacement(barrelActor, &from);
  }
  if (row->kind == CMissile::kGuided && gSteeredMissile != nullptr) {
    return;  // one guided missile at a time
  }
  auto missile = std::make_unique<CMissile>(from, row->kind, Address(), 1);
  // The guided missile kicks before its actor is checked, the others only once made.
  if (row->kind == CMissile::kGuided) {
    PlayArenaSoundAt(Address(), kSoundFireMissile, 0.0f, 0.0f);
    Recoil(GetGameParamFloat(row->impulse), from.heading, from.pitch);
  }
  if (!missile->IsMade()) {
    return;
  }
  if (row->kind != CMissile::kGuided) {
    PlayArenaSoundAt(Address(), kSoundFireMissile, 0.0f, 0.0f);
    Recoil(GetGameParamFloat(row->impulse), from.heading, from.pitch);
  }
  CMissile* listed = ListMissile(std::move(missile));
  if (row->kind == CMissile::kGuided) {
    gSteeredMissile = listed;
    if (gCamera != nullptr) {
      r3xSetCameraActor(gCamera, listed->Actor());
    }
    fireHeld = 0;
    barrelPitchTarget = barrelPitch;
    turretHeadingTarget = turretHeading;
    turretStepTime = gFrameTime;
    turretCommandTime = gFrameTime;
    turnForce = 0.0f;
    ResetZoom();
    crosshairRow = kNoWeaponRow;
    // With the cockpit: SetCrosshairFrame(5).
  }
  PostMissileLaunch(from, row->kind);
  --stocks[row->stock];
  weaponsDirty = 1;
  fireInterval = static_cast<std::uint32_t>(GetGameParamInt(row->fireRate));
}

void CPlayerTank::UpdateWeaponFeed() {
  struct Feed {
    std::uint32_t type;
    std::int32_t row;
  };
  Feed feed{0, kNoWeaponRow};
  if (selectedWeapon != nullptr) {
    if (selectedWeapon == weaponSlots[kSlotChainGun]) {
      feed = {3, 0};
    } else if (selectedWeapon == weaponSlots[kSlotCannon]) {
      if (selectedShell == nullptr) {
        feed = {0, kNoWeaponRow};
      } else if (selectedShell == modules[kFragShellModule]) {
        feed = {8, 6};
      } else if (selectedShell == modules[kHeatShellModule]) {
        feed = {9, 7};
      } else if (selectedShell == modules[kApShellModule]) {
        feed = {10, 8};
      }
    } else if (selectedWeapon == weaponSlots[kSlotMarkI]) {
      feed = {4, 1};
    } else if (selectedWeapon == weaponSlots[kSlotMarkII]) {
      feed = {5, 2};
    } else if (selectedWeapon == weaponSlots[kSlotMarkIV]) {
      feed = {6, 3};
    } else if (selectedWeapon == weaponSlots[kSlotPlasma]) {
      feed = {7, 4};
    }
  }
  weaponWord = feed.type;
  crosshairRow = feed.row;
  // With the cockpit: SetCrosshairFrame(crosshairRow).
}

bool CPlayerTank::SlotUsable(std::size_t slot) const {
  if (weaponSlots[slot] == nullptr) {
    return false;
  }
  if (slot == kSlotCannon) {
    return selectedShell != nullptr;
  }
  if (slot == kSlotChainGun) {
    return modules[kChainGunAmmoModule] != nullptr;
  }
  return true;
}

void CPlayerTank::SelectNextWeapon() {
  const auto current = std::find(weaponSlots.begin(), weaponSlots.end(), selectedWeapon);
  if (selectedWeapon != nullptr && current != weaponSlots.end()) {
    selectedWeapon = nullptr;
    for (auto slot = static_cast<std::size_t>(current - weaponSlots.begin()) + 1;
         slot < kWeaponSlots; ++slot) {
      if (SlotUsable(slot)) {
        selectedWeapon = weaponSlots[slot];
        break;
      }
    }
  }
  if (selectedWeapon == nullptr) {
    for (std::size_t slot = 0; slot < kWeaponSlots; ++slot) {
      if (SlotUsable(slot)) {
        selectedWeapon = weaponSlots[slot];
        break;
      }
    }
  }
  UpdateWeaponFeed();
}

void CPlayerTank::SelectNextShell() {
  const void* frag = modules[kFragShellModule];
  const void* heat = modules[kHeatShellModule];
  const void* ap = modules[kApShellModule];
  const auto first = [](std::initializer_list<const void*> options, const void* keep) {
    for (const void* option : options) {
      if (option != nullptr) {
        return option;
      }
    }
    return keep;
  };
  if (selectedShell == nullptr) {
    selectedShell = first({frag, heat, ap}, nullptr);
  } else if (selectedShell == frag) {
    selectedShell = first({heat, ap}, selectedShell);
  } else if (selectedShell == heat) {
    selectedShell = first({ap, frag}, selectedShell);
  } else if (selectedShell == ap) {
    selectedShell = first({frag, heat}, selectedShell);
  }
  UpdateWeaponFeed();
}

bool CPlayerTank::IsEligibleTarget(const CTank& tank) const {
  if (&tank == this) {
    return false;
  }
  if (tank.stealthOn != 0 && modules[kDopplerRadarModule] == nullptr) {
    return false;
  }
  const float range = GetGameParamFloat(PARAM_TARGETING_RANGE);
  const float dx = std::fabs(tank.position[0] - position[0]);
  const float dy = std::fabs(tank.position[1] - position[1]);
  return dx <= range && std::max(dx, dy) + std::min(dx, dy) * 0.5f <= range;
}

std::uint32_t CPlayerTank::SelectPriorTarget(std::uint32_t id) const {
  const LinkNode* node = gTankList;
  if (id != 0) {
    while (node != nullptr && static_cast<const CTank*>(node->object)->Address() != id) {
      node = node->next;
    }
    if (node == nullptr) {
      return 0;
    }
    node = node->next;
  }
  for (; node != nullptr; node = node->next) {
    const auto* tank = static_cast<const CTank*>(node->object);
    if (IsEligibleTarget(*tank)) {
      return tank->Address();
    }
  }
  return 0;
}

std::uint32_t CPlayerTank::SelectNextTarget(std::uint32_t id) const {
  std::uint32_t last = 0;
  for (const LinkNode* node = gTankList; node != nullptr; node = node->next) {
    const auto* tank = static_cast<const CTank*>(node->object);
    if (tank->Address() == id) {
      break;
    }
    if (IsEligibleTarget(*tank)) {
      last = tank->Address();
    }
  }
  return last;
}
