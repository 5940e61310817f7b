// The fixed equipment catalogue: five chassis and the module slots a vehicle is fitted from. The
// entries name game-parameter rows; how many bays a chassis has and a module needs, and the
// chassis's figures, are those rows' values, which the server supplies.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "battle/core/game_param_rows.h"

struct ChassisEntry {
  const char* name;
  std::size_t baysRow;
  std::size_t forwardRow;
  std::size_t reverseRow;
  std::size_t turretRow;
  std::size_t armorRow;
  std::size_t criticalsRow;
  std::size_t batteryRow;
};

// Module kinds that the placement rules and the lists look at by name.
enum ModuleKind : int {
  kKindEmpty = 0,
  kKindShield = 1,
  kKindShieldBoost = 2,
  kKindReservePower = 4,
  kKindSupercharger = 5,
  kKindStealth = 6,
  kKindCloak = 7,
  kKindPhaseMultiplier = 9,
  kKindCannon = 13,
  kKindShells = 14,
  kKindLaser = 15,
  kKindMissileLauncher = 16,
  kKindMissile = 17,
  kKindMine = 18,
  kKindReconCapture = 20,
  kKindController = 21,
  kKindPowerReceiver = 22,
  kKindMineSweeper = 23,
};

struct ModuleEntry {
  // Null for an empty catalogue slot: never listed, never placeable.
  const char* name = nullptr;
  // The row whose value is the number of bays the module needs.
  std::size_t baysRow = 0;
  int kind = kKindEmpty;
  // A module of this kind must be fitted (or built in) first; 0 for none.
  int prerequisite = 0;
  // The weapon or ammunition the vehicle fits for it; 0 for none.
  int weapon = 0;
  // 1: at most one on a vehicle, and none when the chassis has it built in.
  int single = 1;

  constexpr bool Filled() const { return name != nullptr; }
};

inline constexpr int kChassisCount = 5;
inline constexpr int kModuleSlotCount = 45;
inline constexpr int kWeaponMapSize = 8;
// The chassis with stealth and cloak integrated, which cannot take them as modules.
inline constexpr int kStealthChassis = 3;
inline constexpr int kStealthSlot = 5;
inline constexpr int kCloakSlot = 6;

namespace equipment_detail {

constexpr ChassisEntry Chassis(const char* name, std::size_t baysRow) {
  return {name,        baysRow,     baysRow + 1, baysRow + 2,
          baysRow + 3, baysRow + 4, baysRow + 5, baysRow + 6};
}

constexpr ModuleEntry Module(const char* name, std::size_t baysRow, int kind, int prerequisite = 0,
                             int weapon = 0, int single = 1) {
  return {name, baysRow, kind, prerequisite, weapon, single};
}

}  // namespace equipment_detail

inline constexpr std::array<ChassisEntry, kChassisCount> kChassisCatalogue = {
    equipment_detail::Chassis("Dizuroruv", PARAM_DIZURORUV_BAYS),
    equipment_detail::Chassis("Rivavaru", PARAM_RIVAVARU_BAYS),
    equipment_detail::Chassis("Devestator", PARAM_VOREDOVEVA_BAYS),
    equipment_detail::Chassis("Vodidorir", PARAM_VODIDORIR_BAYS),
    equipment_detail::Chassis("VarAzaru", PARAM_VARAZARU_BAYS),
};

// The row holding a chassis's built-in weapon number (2 to 7 name a weapon-map module, any other
// value none).
constexpr std::size_t BuiltInWeaponRow(int chassis) {
  return PARAM_DIZURORUV_DEFAULT_WEAPON + static_cast<std::size_t>(chassis);
}

inline constexpr std::array<ModuleEntry, kModuleSlotCount> kModuleCatalogue = [] {
  using equipment_detail::Module;
  std::array<ModuleEntry, kModuleSlotCount> slots{};
  slots[0] = Module(" ", PARAM_EMPTY_BAYS, kKindEmpty, 0, 0, 0);
  slots[1] = Module("Shield", PARAM_SHIELD_BAYS, kKindShield);
  slots[2] = Module("Shield Boost", PARAM_SHIELD_BOOST_BAYS, kKindShieldBoost, kKindShield);
  slots[3] = Module("Reserve Power", PARAM_RESERVE_POWER_BAYS, kKindReservePower, 0, 0, 0);
  slots[4] = Module("Supercharger", PARAM_SUPERCHARGER_BAYS, kKindSupercharger);
  slots[5] = Module("Stealth", PARAM_STEALTH_BAYS, kKindStealth);
  slots[6] = Module("Cloak", PARAM_CLOAK_BAYS, kKindCloak);
  slots[7] = Module("DopplerRadar", PARAM_DOPPLER_RADAR_BAYS, 8);
  slots[8] = Module("Infra-red", PARAM_INFRA_RED_BAYS, 10);
  slots[11] = Module("Cannon", PARAM_CANNON_BAYS, kKindCannon, 0, 2);
  slots[12] = Module("Frag Shells", PARAM_FRAG_SHELLS_BAYS, kKindShells, kKindCannon, 9, 0);
  slots[13] = Module("HEAT Shells", PARAM_HEAT_SHELLS_BAYS, kKindShells, kKindCannon, 10, 0);
  slots[14] = Module("AP Shells", PARAM_AP_SHELLS_BAYS, kKindShells, kKindCannon, 11, 0);
  slots[15] = Module("Mark I Laser", PARAM_MARK_I_BAYS, kKindLaser, 0, 3);
  slots[16] = Module("Mark II Laser", PARAM_MARK_II_BAYS, kKindLaser, 0, 4);
  slots[17] = Module("Mark IV Laser", PARAM_MARK_IV_BAYS, kKindLaser, 0, 5);
  slots[18] = Module("Plasma Cannon", PARAM_PLASMA_CANNON_BAYS, kKindLaser, 0, 6);
  slots[19] =
      Module("Phase Multiplier", PARAM_PHASE_MULTIPLIER_BAYS, kKindPhaseMultiplier, kKindLaser);
  slots[20] =
      Module("Missile Launcher", PARAM_MISSILE_LAUNCHER_BAYS, kKindMissileLauncher, 0, 7, 0);
  slots[21] = Module("Phoenix Missile", PARAM_PHOENIX_MISSILE_BAYS, kKindMissile,
                     kKindMissileLauncher, 13, 0);
  slots[22] = Module("Guided Missile", PARAM_GUIDED_MISSILE_BAYS, kKindMissile,
                     kKindMissileLauncher, 14, 0);
  slots[23] = Module("Deactivator Missile", PARAM_DEACTIVATOR_MISSILE_BAYS, kKindMissile,
                     kKindMissileLauncher, 15, 0);
  slots[24] = Module("Battery Drain Missile", PARAM_BATTERY_DRAIN_MISSILE_BAYS, kKindMissile,
                     kKindMissileLauncher, 16, 0);
  slots[25] =
      Module("Flash Missile", PARAM_FLASH_MISSILE_BAYS, kKindMissile, kKindMissileLauncher, 17, 0);
  slots[26] = Module("Proximity Mine", PARAM_PROXIMITY_MINE_BAYS, kKindMine, 0, 18, 0);
  slots[27] = Module("Detonation Mine", PARAM_DETONATION_MINE_BAYS, kKindMine, 0, 19, 0);
  slots[28] = Module("Deactivator Mine", PARAM_DEACTIVATOR_MINE_BAYS, kKindMine, 0, 20, 0);
  slots[29] = Module("Flag Catcher", PARAM_FLAG_CATCHER_BAYS, 19);
  slots[30] = Module("Recon Capture", PARAM_RECON_CAPTURE_BAYS, kKindReconCapture);
  slots[31] = Module("Controller", PARAM_CONTROLLER_BAYS, kKindController);
  slots[32] = Module("Power Receiver", PARAM_POWER_RECEIVER_BAYS, kKindPowerReceiver);
  slots[33] = Module("Mine Sweeper", PARAM_MINE_SWEEPER_BAYS, kKindMineSweeper, 0, 0, 0);
  slots[34] = Module("Satellite Camera", PARAM_SATELLITE_CAMERA_BAYS, 24);
  slots[35] = Module("Rockets", PARAM_ROCKET_BAYS, 25, 0, 0, 0);
  // The original lists the dampener under the empty module's bays row.
  slots[36] = Module("Dampener", PARAM_EMPTY_BAYS, 26);
  slots[37] = Module("Turbo Boost", PARAM_TURBO_BOOST_BAYS, 27, 0, 0, 0);
  slots[39] = Module("SharpShooter", PARAM_SHARPSHOOTER_BAYS, 29);
  return slots;
}();

// The catalogue slot of each weapon number a chassis can have built in; -1 where none.
inline constexpr std::array<int, kWeaponMapSize> kWeaponMap = [] {
  std::array<int, kWeaponMapSize> map{};
  map.fill(-1);
  // Weapon 0 is the empty module's; the other modules without a weapon are not entered.
  map[0] = 0;
  for (int slot = 1; slot < kModuleSlotCount; ++slot) {
    const ModuleEntry& entry = kModuleCatalogue[static_cast<std::size_t>(slot)];
    if (entry.Filled() && entry.weapon > 0 && entry.weapon < kWeaponMapSize) {
      map[static_cast<std::size_t>(entry.weapon)] = slot;
    }
  }
  return map;
}();

// The equipment list's categories, in order, each with the kinds it lists; the last takes every
// kind no other one lists (but the empty module's).
struct EquipmentCategory {
  const char* heading;
  std::array<int, 3> kinds;  // 0 ends the list early
  bool everyOtherKind;
};

inline constexpr std::array<EquipmentCategory, 7> kEquipmentCategories = {{
    {"(C)annon", {kKindCannon, kKindShells, 0}, false},
    {"(L)aser Weapons", {kKindLaser, kKindPhaseMultiplier, 0}, false},
    {"(M)issiles", {kKindMissileLauncher, kKindMissile, 31}, false},
    {"M(i)nes", {kKindMine, kKindMineSweeper, 0}, false},
    {"(D)efense", {kKindShield, kKindShieldBoost, 0}, false},
    {"(P)ower Mods", {kKindPowerReceiver, kKindReservePower, kKindSupercharger}, false},
    {"(S)pecial", {0, 0, 0}, true},
}};

namespace equipment_detail {

constexpr int CountFilled() {
  int count = 0;
  for (const ModuleEntry& entry : kModuleCatalogue) {
    count += entry.Filled() ? 1 : 0;
  }
  return count;
}

constexpr bool PrerequisitesExist() {
  for (const ModuleEntry& entry : kModuleCatalogue) {
    bool found = entry.prerequisite == 0;
    for (const ModuleEntry& other : kModuleCatalogue) {
      found = found || (other.Filled() && other.kind == entry.prerequisite);
    }
    if (!found) {
      return false;
    }
  }
  return true;
}

constexpr bool ChassisRowsFollowEachOther() {
  for (int chassis = 0; chassis < kChassisCount; ++chassis) {
    const ChassisEntry& entry = kChassisCatalogue[static_cast<std::size_t>(chassis)];
    if (entry.baysRow != PARAM_DIZURORUV_BAYS + 10 * static_cast<std::size_t>(chassis) ||
        entry.batteryRow != entry.baysRow + 6) {
      return false;
    }
  }
  return true;
}

}  // namespace equipment_detail

static_assert(equipment_detail::CountFilled() == 37, "thirty-seven modules fill the catalogue");
static_assert(!kModuleCatalogue[9].Filled() && !kModuleCatalogue[10].Filled() &&
                  !kModuleCatalogue[38].Filled() && !kModuleCatalogue[40].Filled() &&
                  !kModuleCatalogue[44].Filled(),
              "the empty slots stay empty");
static_assert(equipment_detail::PrerequisitesExist(),
              "every prerequisite kind is in the catalogue");
static_assert(equipment_detail::ChassisRowsFollowEachOther(), "a chassis's rows are consecutive");
static_assert(kWeaponMap[0] == 0 && kWeaponMap[1] == -1, "weapon 0 is the empty module, 1 none");
static_assert(kWeaponMap[2] == 11 && kWeaponMap[7] == 20, "cannon and launcher are weapons 2, 7");
static_assert(kModuleCatalogue[kStealthSlot].kind == kKindStealth &&
                  kModuleCatalogue[kCloakSlot].kind == kKindCloak,
              "the integrated stealth and cloak slots");
static_assert(BuiltInWeaponRow(kChassisCount - 1) == PARAM_VARAZARU_DEFAULT_WEAPON);
