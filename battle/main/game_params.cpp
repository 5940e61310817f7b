#include "battle/main/game_params.h"

#include <bit>
#include <cassert>

std::array<CParam, GAME_PARAM_COUNT> GameParamTable;
std::array<CParam, ARENA_PARAM_COUNT> ArenaParamTable;

CParam::CParam(const char* rowName, std::int32_t initial)
    : type(PARAM_TYPE_INTEGER),
      name(rowName),
      value(static_cast<std::uint32_t>(initial)),
      savedValue(static_cast<std::uint32_t>(initial)) {}

std::int32_t CParam::GetInt() const { return static_cast<std::int32_t>(value); }

float CParam::GetFloat() const { return std::bit_cast<float>(value); }

void CParam::SetConfirmed(std::uint32_t word) {
  value = word;
  savedValue = word;
  modified = 0;
}

void CParam::SetEdited(std::uint32_t word) {
  value = word;
  modified = 1;
}

void CParam::Restore() {
  value = savedValue;
  modified = 0;
}

namespace {

// Float rows carry the float's bits in both value words.
CParam FloatRow(const char* name, float initial) {
  CParam row;
  row.type = PARAM_TYPE_FLOAT;
  row.name = name;
  row.value = std::bit_cast<std::uint32_t>(initial);
  row.savedValue = row.value;
  return row;
}

}  // namespace

// The names are the system's own texts, spacing and spelling included: the editor shows them.
// The server overwrites every row at login, so these defaults hold only until then. Where no
// default of the system is known, the value is a plausible one that keeps the game playable.
void InitGameParams() {
  auto& table = GameParamTable;
  table.fill(CParam());
  table[PARAM_DATA_VERSION_NUMBER] = CParam("Data Version Number", 960);
  table[PARAM_DEATH_RESTART_TIME] = CParam("!Death Restart Time", 6000);
  table[PARAM_COLLISION_RELIEF_START] = CParam("Collision Relief Start", 500);
  table[PARAM_COLLISION_RELIEF_STOP] = CParam("Collision Relief Stop", 2000);
  table[PARAM_TARGETING_RANGE] = FloatRow("Targeting Range", 800.0f);
  table[PARAM_NO_POWER_MOVE_MAX] = CParam("!No Power Move Max", 50);
  table[PARAM_WITH_FLAG_MOVE_MAX] = CParam("!With Flag Move Max", 75);
  table[PARAM_RADAR_RANGE_SHORT] = FloatRow("!Radar Range Short", 250.0f);
  table[PARAM_RADAR_RANGE_MEDIUM] = FloatRow("!Radar Range Medium", 500.0f);
  table[PARAM_RADAR_RANGE_LONG] = FloatRow("!Radar Range Long", 1000.0f);
  table[PARAM_DIZURORUV_BAYS] = CParam("#Dizuroruv Bays", 10);
  table[PARAM_DIZURORUV_FORWARD] = CParam("!Dizuroruv Forward", 100);
  table[PARAM_DIZURORUV_REVERSE] = CParam("!Dizuroruv Reverse", 50);
  table[PARAM_DIZURORUV_TURRET] = CParam("#Dizuroruv Turret", 360);
  table[PARAM_DIZURORUV_ARMOR] = CParam("#Dizuroruv Armor", 100);
  table[PARAM_DIZURORUV_CRITS] = CParam("#Dizuroruv Crits", 100);
  table[PARAM_DIZURORUV_BATTERY] = CParam("#Dizuroruv Battery", 100);
  table[PARAM_DIZURORUV_FWD_MASS] = FloatRow("#Dizuroruv Fwd Mass", 1000.0f);
  table[PARAM_DIZURORUV_TURN_MASS] = FloatRow("#Dizuroruv Turn Mass", 1000.0f);
  table[PARAM_DIZURORUV_LINK_MASS] = FloatRow("#Dizuroruv Link Mass", 1000.0f);
  table[PARAM_RIVAVARU_BAYS] = CParam("#Rivavaru Bays", 12);
  table[PARAM_RIVAVARU_FORWARD] = CParam("!Rivavaru Forward", 100);
  table[PARAM_RIVAVARU_REVERSE] = CParam("!Rivavaru Reverse", 50);
  table[PARAM_RIVAVARU_TURRET] = CParam("#Rivavaru Turret", 360);
  table[PARAM_RIVAVARU_ARMOR] = CParam("#Rivavaru Armor", 120);
  table[PARAM_RIVAVARU_CRITS] = CParam("#Rivavaru Crits", 100);
  table[PARAM_RIVAVARU_BATTERY] = CParam("#Rivavaru Battery", 120);
  table[PARAM_RIVAVARU_FWD_MASS] = FloatRow("#Rivavaru Fwd Mass", 1000.0f);
  table[PARAM_RIVAVARU_TURN_MASS] = FloatRow("#Rivavaru Turn Mass", 1000.0f);
  table[PARAM_RIVAVARU_LINK_MASS] = FloatRow("#Rivavaru Link Mass", 1000.0f);
  table[PARAM_VOREDOVEVA_BAYS] = CParam("#Voredoveva Bays", 14);
  table[PARAM_VOREDOVEVA_FORWARD] = CParam("!Voredoveva Forward", 100);
  table[PARAM_VOREDOVEVA_REVERSE] = CParam("!Voredoveva Reverse", 50);
  table[PARAM_VOREDOVEVA_TURRET] = CParam("#Voredoveva Turret", 180);
  table[PARAM_VOREDOVEVA_ARMOR] = CParam("#Voredoveva Armor", 160);
  table[PARAM_VOREDOVEVA_CRITS] = CParam("#Voredoveva Crits", 100);
  table[PARAM_VOREDOVEVA_BATTERY] = CParam("#Voredoveva Battery", 150);
  table[PARAM_VOREDOVEVA_FWD_MASS] = FloatRow("#Voredoveva Fwd Mass", 1000.0f);
  table[PARAM_VOREDOVEVA_TURN_MASS] = FloatRow("#Voredoveva Turn Mass", 1000.0f);
  table[PARAM_VOREDOVEVA_LINK_MASS] = FloatRow("#Voredoveva Link Mass", 1000.0f);
  table[PARAM_VODIDORIR_BAYS] = CParam("#Vodidorir Bays", 11);
  table[PARAM_VODIDORIR_FORWARD] = CParam("!Vodidorir Forward", 100);
  table[PARAM_VODIDORIR_REVERSE] = CParam("!Vodidorir Reverse", 50);
  table[PARAM_VODIDORIR_TURRET] = CParam("#Vodidorir Turret", 360);
  table[PARAM_VODIDORIR_ARMOR] = CParam("#Vodidorir Armor", 100);
  table[PARAM_VODIDORIR_CRITS] = CParam("#Vodidorir Crits", 100);
  table[PARAM_VODIDORIR_BATTERY] = CParam("#Vodidorir Battery", 110);
  table[PARAM_VODIDORIR_FWD_MASS] = FloatRow("#Vodidorir Fwd Mass", 1000.0f);
  table[PARAM_VODIDORIR_TURN_MASS] = FloatRow("#Vodidorir Turn Mass", 1000.0f);
  table[PARAM_VODIDORIR_LINK_MASS] = FloatRow("#Vodidorir Link Mass", 1000.0f);
  table[PARAM_VARAZARU_BAYS] = CParam("#VarAzaru Bays", 13);
  table[PARAM_VARAZARU_FORWARD] = CParam("!VarAzaru Forward", 100);
  table[PARAM_VARAZARU_REVERSE] = CParam("!VarAzaru Reverse", 50);
  table[PARAM_VARAZARU_TURRET] = CParam("#VarAzaru Turret", 270);
  table[PARAM_VARAZARU_ARMOR] = CParam("#VarAzaru Armor", 140);
  table[PARAM_VARAZARU_CRITS] = CParam("#VarAzaru Crits", 100);
  table[PARAM_VARAZARU_BATTERY] = CParam("#VarAzaru Battery", 130);
  table[PARAM_VARAZARU_FWD_MASS] = FloatRow("#VarAzaru Fwd Mass", 1000.0f);
  table[PARAM_VARAZARU_TURN_MASS] = FloatRow("#VarAzaru Turn Mass", 1000.0f);
  table[PARAM_VARAZARU_LINK_MASS] = FloatRow("#VarAzaru Link Mass", 1000.0f);
  table[PARAM_EMPTY_BAYS] = CParam("#Empty Bays (=1, don't change!)", 1);
  table[PARAM_SHIELD_BAYS] = CParam("#Shield Bays", 2);
  table[PARAM_SHIELD_AMOUNT] = CParam("#Shield Amount", 50);
  table[PARAM_SHIELD_CHARGE_DOWNTIME] = CParam("!Shield Charge Downtime", 2000);
  table[PARAM_FRONT_BACK_DOWNTIME_LINK] = CParam("!Front/Back Downtime Link (0=none))", 1);
  table[PARAM_SHIELD_BOOST_BAYS] = CParam("#Shield Boost Bays", 2);
  table[PARAM_LOGOUT_TIMER] = CParam("Logout Timer (sec.)", 5);
  table[PARAM_SHIELD_BOOST_AMOUNT] = CParam("#Shield Boost Amount", 50);
  table[PARAM_SUPERCHARGER_BAYS] = CParam("#SuperCharger Bays", 2);
  table[PARAM_SUPERCHARGED_BATTERY_PERCENT] = CParam("#SuperCharged Battery %", 180);
  table[PARAM_RESERVE_POWER_BAYS] = CParam("#Reserve Power Bays", 1);
  table[PARAM_RESERVE_POWER_QUANTITY] = CParam("#Reserve Power Quantity", 1);
  table[PARAM_INFRA_RED_SEES_CLOAKED] = CParam("!Infra-red sees Cloaked", 1);
  table[PARAM_STEALTH_BAYS] = CParam("#Stealth Bays", 2);
  table[PARAM_STEALTH_DRAIN] = FloatRow("!Stealth Drain", 0.5f);
  table[PARAM_CLOAK_BAYS] = CParam("#Cloak Bays", 3);
  table[PARAM_CLOAK_DRAIN] = FloatRow("!Cloak Drain", 1.0f);
  table[PARAM_DOPPLER_RADAR_BAYS] = CParam("#DopplerRadar Bays", 1);
  table[PARAM_CLOAK_FIRE_UNCLOAK_DURATION] = CParam("!Cloak Fire Uncloak Duration", 1000);
  table[PARAM_INFRA_RED_BAYS] = CParam("#Infra-red Bays", 1);
  table[PARAM_INFRA_RED_DRAIN] = FloatRow("!Infra-red Drain", 0.25f);
  table[PARAM_CANNON_BAYS] = CParam("#Cannon Bays", 2);
  table[PARAM_CANNON_FRAG_FIRE_RATE] = CParam("!Cannon Frag Fire Rate", 1200);
  table[PARAM_FRAG_SHELLS_BAYS] = CParam("#Frag Shells Bays", 1);
  table[PARAM_FRAG_SHELLS_QUANTITY] = CParam("#Frag Shells Quantity", 20);
  table[PARAM_FRAG_SHELL_DAMAGE] = CParam("!Frag Shell Damage", 15);
  table[PARAM_FRAG_SHELL_SPEED] = FloatRow("!Frag Shell Speed", 120.0f);
  table[PARAM_FRAG_SHELL_MASS] = FloatRow("!Frag Shell Mass", 1000.0f);
  table[PARAM_FRAG_SHELL_RADIUS] = FloatRow("!Frag Shell Radius", 6.0f);
  table[PARAM_CANNON_HEAT_FIRE_RATE] = CParam("!Cannon HEAT Fire Rate", 1500);
  table[PARAM_CANNON_AP_FIRE_RATE] = CParam("!Cannon AP Fire Rate", 1800);
  table[PARAM_DEFENSE_MOVING_SPEED] = FloatRow("!Defense Moving Speed", 11.0f);
  table[PARAM_DEFENSE_LAZER_DAMAGE] = CParam("!Defense Lazer Damage", 8);
  table[PARAM_DEFENSE_LAZER_SPEED] = FloatRow("!Defense Lazer Speed", 200.0f);
  table[PARAM_DEFENSE_FIRE_RATE] = CParam("!Defense Fire Rate", 1500);
  table[PARAM_TANK_LAZER_SPEED] = FloatRow("!Tank Lazer Speed", 250.0f);
  table[PARAM_MARK_I_BAYS] = CParam("#Mark I Bays", 1);
  table[PARAM_MARK_I_DRAIN] = FloatRow("!Mark I Drain", 1.0f);
  table[PARAM_MARK_I_DAMAGE] = CParam("!Mark I Damage", 5);
  table[PARAM_MARK_I_FIRE_RATE] = CParam("!Mark I Fire Rate", 250);
  table[PARAM_MARK_II_BAYS] = CParam("#Mark II Bays", 2);
  table[PARAM_MARK_II_DRAIN] = FloatRow("!Mark II Drain", 2.0f);
  table[PARAM_MARK_II_DAMAGE] = CParam("!Mark II Damage", 10);
  table[PARAM_MARK_II_FIRE_RATE] = CParam("!Mark II Fire Rate", 400);
  table[PARAM_MARK_IV_BAYS] = CParam("#Mark IV Bays", 3);
  table[PARAM_MARK_IV_DRAIN] = FloatRow("!Mark IV Drain", 4.0f);
  table[PARAM_MARK_IV_DAMAGE] = CParam("!Mark IV Damage", 20);
  table[PARAM_MARK_IV_FIRE_RATE] = CParam("!Mark IV Fire Rate", 600);
  table[PARAM_PLASMA_CANNON_BAYS] = CParam("#Plasma Cannon Bays", 3);
  table[PARAM_PLASMA_CANNON_DRAIN] = FloatRow("!Plasma Cannon Drain", 8.0f);
  table[PARAM_PLASMA_CANNON_DAMAGE] = CParam("!Plasma Cannon Damage", 40);
  table[PARAM_PLASMA_CANNON_FIRE_RATE] = CParam("!Plasma Cannon Fire Rate", 1500);
  table[PARAM_PHASE_MULTIPLIER_BAYS] = CParam("#Phase Multiplier Bays", 2);
  table[PARAM_PHASE_MULTIPLIES_DAMAGE] = FloatRow("!Phase Multiplies Damage", 2.0f);
  table[PARAM_PHASE_MULTIPLIES_COST] = FloatRow("!Phase Multiplies Cost", 1.5f);
  table[PARAM_MISSILE_LAUNCHER_BAYS] = CParam("#Missile Launcher Bays", 2);
  table[PARAM_MISSILE_PACKS_PER_LAUNCHER] = CParam("#Missile Packs/Launcher", 2);
  table[PARAM_PHOENIX_MISSILE_BAYS] = CParam("#Phoenix Missile Bays", 1);
  table[PARAM_PHOENIX_QUANTITY_PER_PACK] = CParam("#Phoenix Quantity/Pack", 4);
  table[PARAM_PHOENIX_MISSILE_DAMAGE] = CParam("!Phoenix Missile Damage", 30);
  table[PARAM_PHOENIX_DURATION] = CParam("!Phoenix Duration", 8000);
  table[PARAM_PHOENIX_MISSILE_SPEED] = FloatRow("!Phoenix Missile Speed", 60.0f);
  table[PARAM_GUIDED_MISSILE_BAYS] = CParam("#Guided Missile Bays", 1);
  table[PARAM_GUIDED_QUANTITY_PER_PACK] = CParam("#Guided Quantity/Pack", 4);
  table[PARAM_GUIDED_MISSILE_DAMAGE] = CParam("!Guided Missile Damage", 35);
  table[PARAM_GUIDED_DURATION] = CParam("!Guided Duration", 10000);
  table[PARAM_GUIDED_MISSILE_SPEED] = FloatRow("!Guided Missile Speed", 40.0f);
  table[PARAM_GUIDED_MISSILE_TURN] = FloatRow("!Guided Missile Turn", 4.0f);
  table[PARAM_GUIDED_MISSILE_PITCH] = FloatRow("!Guided Missile Pitch", 2.0f);
  table[PARAM_GUIDED_MISSILE_FWD_MASS] = FloatRow("!Guided Missile Fwd Mass", 1000.0f);
  table[PARAM_GUIDED_MISSILE_TURN_MASS] = FloatRow("!Guided Missile Turn Mass", 1000.0f);
  table[PARAM_GUIDED_MISSILE_LINK_MASS] = FloatRow("!Guided Missile Link Mass", 1000.0f);
  table[PARAM_DEACTIVATOR_MISSILE_BAYS] = CParam("#Deactivator Missile Bays", 1);
  table[PARAM_DEACTIVATOR_QUANTITY_PER_PACK] = CParam("#Deactivator Quantity/Pack", 2);
  table[PARAM_DEACTIVATOR_DURATION] = CParam("!Deactivator Duration", 8000);
  table[PARAM_DEACTIVATOR_MISSILE_SPEED] = FloatRow("!Deactivator Missile Speed", 50.0f);
  table[PARAM_DEACTIVATION_TIME] = CParam("!Deactivation Time", 10000);
  table[PARAM_PROXIMITY_MINE_BAYS] = CParam("#Proximity Mine Bays", 1);
  table[PARAM_PROXIMITY_QUANTITY_PER_PACK] = CParam("#Proximity Quantity/Pack", 5);
  table[PARAM_PROXIMITY_MINE_DAMAGE] = CParam("!Proximity Mine Damage", 30);
  table[PARAM_PROXIMITY_MINE_RADIUS] = FloatRow("!Proximity Mine Radius", 15.0f);
  table[PARAM_DETONATION_MINE_BAYS] = CParam("#Detonation Mine Bays", 1);
  table[PARAM_DETONATION_QUANTITY_PER_PACK] = CParam("#Detonation Quantity/Pack", 5);
  table[PARAM_DETONATION_MINE_DAMAGE] = CParam("!Detonation Mine Damage", 40);
  table[PARAM_DETONATION_MINE_RADIUS] = FloatRow("!Detonation Mine Radius", 20.0f);
  table[PARAM_FLAG_CATCHER_BAYS] = CParam("#Flag Catcher Bays", 1);
  table[PARAM_RECON_CAPTURE_BAYS] = CParam("#Recon Capture Bays", 1);
  table[PARAM_PROXIMITY_TRIGGER_RADIUS] = FloatRow("!Proximity Trigger Radius", 8.0f);
  table[PARAM_RECON_CAPTURE_QUANTITY_PER_PACK] = CParam("#Recon Capture Quantity/Pack", 2);
  table[PARAM_CONTROLLER_BAYS] = CParam("#Controller Bays", 2);
  table[PARAM_CONTROLLER_CHARGE_RATE] = FloatRow("#Controller Charge Rate", 5.0f);
  table[PARAM_POWER_RECEIVER_BAYS] = CParam("#Power Receiver Bays", 1);
  table[PARAM_POWER_RECEIVER_CHARGE_RATE] = FloatRow("!Power Receiver Charge Rate", 2.0f);
  table[PARAM_POWER_RECEIVER_CHARGE_RADIUS] = CParam("!Power Receiver Charge Radius", 60);
  table[PARAM_MINE_SWEEPER_BAYS] = CParam("#Mine Sweeper Bays", 1);
  table[PARAM_MINE_SWEEPER_RADIUS] = FloatRow("!Mine Sweeper Radius", 40.0f);
  table[PARAM_MINE_SWEEPER_QUANTITY] = CParam("#Mine Sweeper Quantity", 3);
  table[PARAM_SATELLITE_CAMERA_BAYS] = CParam("#Satellite Camera Bays", 1);
  table[PARAM_ROCKET_BAYS] = CParam("#Rocket Bays", 2);
  table[PARAM_ROCKET_QUANTITY] = CParam("#Rocket Quantity", 3);
  table[PARAM_ROCKET_Z_THRUST_FACTOR] = FloatRow("!Rocket Z Thrust Factor", 1.5f);
  table[PARAM_ROCKET_FUEL_MAX] = FloatRow("!Rocket Fuel Max", 25.0f);
  table[PARAM_ROCKET_DRAIN_PER_200_MIL] = FloatRow("!Rocket Drain per 200 mil", 1.0f);
  table[PARAM_TURBO_BOOST_BAYS] = CParam("#Turbo Boost Bays", 1);
  table[PARAM_TURBO_BOOST_QUANTITY] = CParam("!Turbo Boost Quantity", 3);
  table[PARAM_TURBO_BOOST_DRAIN] = FloatRow("!Turbo Boost Drain", 2.0f);
  table[PARAM_TURBO_BOOST_DURATION] = CParam("!Turbo Boost Duration", 3000);
  table[PARAM_FLARE_BAYS] = CParam("#Flare Bays", 1);
  table[PARAM_FLARE_QUANTITY] = CParam("#Flare Quantity", 5);
  table[PARAM_FLARE_DURATION] = CParam("!Flare Duration", 10000);
  table[PARAM_FLARE_SPEED] = FloatRow("!Flare Speed", 40.0f);
  table[PARAM_FLARE_FUSE] = CParam("!Flare Fuse", 1000);
  table[PARAM_FLARE_LIGHT_RADIUS] = FloatRow("!Flare Light Radius", 500.0f);
  table[PARAM_DEACTIVATOR_MINE_BAYS] = CParam("#Deactivator Mine Bays", 1);
  table[PARAM_DEACTIVATOR_MINE_QUANTITY] = CParam("#Deactivator Mine Quantity", 3);
  table[PARAM_DEACTIVATOR_MINE_EFFECT_RADIUS] = FloatRow("!Deactivator Mine Effect Radius", 30.0f);
  table[PARAM_DEACTIVATOR_MINE_TRIGGER_RADIUS] = FloatRow("!Deactivator Mine Trigger Radius", 8.0f);
  table[PARAM_DEACTIVATOR_MINE_DEACTIVATION_TIME] =
      CParam("!Deactivator Mine Deactivation Time", 5000);
  table[PARAM_BATTERY_DRAIN_MISSILE_BAYS] = CParam("#Battery Drain Missile Bays", 1);
  table[PARAM_BATTERY_DRAIN_MISSILE_QUANTITY] = CParam("#Battery Drain Missile Quantity", 2);
  table[PARAM_BATTERY_DRAIN_MISSILE_DURATION] = CParam("!Battery Drain Missile Duration", 8000);
  table[PARAM_BATTERY_DRAIN_MISSILE_SPEED] = FloatRow("!Battery Drain Missile Speed", 50.0f);
  table[PARAM_BATTERY_DRAIN_AMOUNT] = FloatRow("!Battery Drain Amount", 20.0f);
  table[PARAM_FLASH_MISSILE_BAYS] = CParam("#Flash Missile Bays", 1);
  table[PARAM_FLASH_MISSILE_QUANTITY] = CParam("#Flash Missile Quantity", 2);
  table[PARAM_FLASH_MISSILE_DURATION] = CParam("!Flash Missile Duration", 8000);
  table[PARAM_FLASH_MISSILE_SPEED] = FloatRow("!Flash Missile Speed", 50.0f);
  table[PARAM_FLASH_MISSILE_NORMAL_EFFECT_TIME] = CParam("!Flash Missile Normal Effect Time", 3000);
  table[PARAM_FLASH_MISSILE_INFRA_RED_EFFECT_TIME] =
      CParam("!Flash Missile InfraRed Effect Time", 6000);
  table[PARAM_RECON_INTERIOR_CHARGE_RATE] = FloatRow("!Recon Interior Charge Rate", 2.0f);
  table[PARAM_RECON_CHARGE_RADIUS] = CParam("!Recon Charge Radius", 40);
  table[PARAM_RECON_CHARGE_RATE] = FloatRow("!Recon Charge Rate", 1.0f);
  table[PARAM_RECON_LEECH_RADIUS] = CParam("!Recon Leech Radius", 40);
  table[PARAM_RECON_LEECH_RATE] = FloatRow("!Recon Leech Rate", 1.0f);
  table[PARAM_BASE_CHARGE_RADIUS] = CParam("!Base Charge Radius", 60);
  table[PARAM_BASE_CHARGE_RATE] = FloatRow("!Base Charge Rate", 2.0f);
  table[PARAM_BASE_LEECH_RADIUS] = CParam("!Base Leech Radius", 60);
  table[PARAM_BASE_LEECH_RATE] = FloatRow("!Base Leech Rate", 1.0f);
  table[PARAM_DRONE_CHARGE_RADIUS] = CParam("Drone Charge Radius", 30);
  table[PARAM_DIZURORUV_DRONE_CHARGE_RATE] = FloatRow("!Dizuroruv Drone Charge Rate", 1.0f);
  table[PARAM_RIVAVARU_DRONE_CHARGE_RATE] = FloatRow("!Rivavaru Drone Charge Rate", 1.0f);
  table[PARAM_VOREDOVEVA_DRONE_CHARGE_RATE] = FloatRow("!Voredoveva Drone Charge Rate", 1.0f);
  table[PARAM_VODIDORIR_DRONE_CHARGE_RATE] = FloatRow("!Vodidorir Drone Charge Rate", 1.0f);
  table[PARAM_VARAZARU_DRONE_CHARGE_RATE] = FloatRow("!VarAzaru Drone Charge Rate", 1.0f);
  table[PARAM_DIZURORUV_MOVE_DRAIN_RATE] = FloatRow("!Dizuroruv Move Drain Rate", 0.01f);
  table[PARAM_RIVAVARU_MOVE_DRAIN_RATE] = FloatRow("!Rivavaru Move Drain Rate", 0.01f);
  table[PARAM_VOREDOVEVA_MOVE_DRAIN_RATE] = FloatRow("!Voredoveva Move Drain Rate", 0.01f);
  table[PARAM_VODIDORIR_MOVE_DRAIN_RATE] = FloatRow("!Vodidorir Move Drain Rate", 0.01f);
  table[PARAM_VARAZARU_MOVE_DRAIN_RATE] = FloatRow("!VarAzaru Move Drain Rate", 0.01f);
  table[PARAM_DIZURORUV_DEFAULT_WEAPON] = CParam("#Dizuroruv Default Weapon", 3);
  table[PARAM_RIVAVARU_DEFAULT_WEAPON] = CParam("#Rivavaru Default Weapon", 3);
  table[PARAM_VOREDOVEVA_DEFAULT_WEAPON] = CParam("#Voredoveva Default Weapon", 4);
  table[PARAM_VODIDORIR_DEFAULT_WEAPON] = CParam("#Vodidorir Default Weapon", 3);
  table[PARAM_VARAZARU_DEFAULT_WEAPON] = CParam("#VarAzaru Default Weapon", 4);
  table[PARAM_CHAIN_GUN_BAYS] = CParam("#Chain Gun Bays", 1);
  table[PARAM_CHAIN_GUN_FIRE_RATE] = CParam("!Chain Gun Fire Rate", 100);
  table[PARAM_MG_BULLET_BAYS] = CParam("#MG Bullet Bays", 1);
  table[PARAM_MG_BULLET_QUANTITY] = CParam("#MG Bullet Quantity", 200);
  table[PARAM_MG_BULLET_DAMAGE] = CParam("!MG Bullet Damage", 2);
  table[PARAM_MG_BULLET_SPEED] = FloatRow("!MG Bullet Speed", 150.0f);
  table[PARAM_MG_BULLET_MASS] = FloatRow("!MG Bullet Mass", 1000.0f);
  table[PARAM_MG_BULLET_RADIUS] = FloatRow("!MG Bullet Radius", 1.0f);
  table[PARAM_HEAT_SHELLS_BAYS] = CParam("#HEAT Shells Bays", 1);
  table[PARAM_HEAT_SHELLS_QUANTITY] = CParam("#HEAT Shells Quantity", 15);
  table[PARAM_HEAT_SHELL_DAMAGE] = CParam("!HEAT Shell Damage", 25);
  table[PARAM_HEAT_SHELL_SPEED] = FloatRow("!HEAT Shell Speed", 120.0f);
  table[PARAM_HEAT_SHELL_MASS] = FloatRow("!HEAT Shell Mass", 1000.0f);
  table[PARAM_HEAT_SHELL_RADIUS] = FloatRow("!HEAT Shell Radius", 4.0f);
  table[PARAM_AP_SHELLS_BAYS] = CParam("#AP Shells Bays", 1);
  table[PARAM_AP_SHELLS_QUANTITY] = CParam("#AP Shells Quantity", 10);
  table[PARAM_AP_SHELL_DAMAGE] = CParam("!AP Shell Damage", 35);
  table[PARAM_AP_SHELL_SPEED] = FloatRow("!AP Shell Speed", 160.0f);
  table[PARAM_AP_SHELL_MASS] = FloatRow("!AP Shell Mass", 1000.0f);
  table[PARAM_AP_MINUS_1_DAMAGE_DURATION] = CParam("!AP -1 Damage Duration", 3000);
  table[PARAM_THRUSTER_BAYS] = CParam("#Thruster Bays", 1);
  table[PARAM_SHARPSHOOTER_BAYS] = CParam("#Sharpshooter Bays", 1);
  table[PARAM_SHARPSHOOTER_RANGE_MULTIPLIER] = FloatRow("!Sharpshooter Range Multiplier", 1.5f);
  table[PARAM_SHARPSHOOTER_DRAIN] = FloatRow("!Sharpshooter Drain", 0.5f);
  table[PARAM_CHAFF_BAYS] = CParam("#Chaff Bays", 1);
  table[PARAM_CHAFF_QUANTITY] = CParam("#Chaff Quantity", 5);
  table[PARAM_LAZER1_DURATION] = CParam("!Lazer1 Duration", 1500);
  table[PARAM_LAZER2_DURATION] = CParam("!Lazer2 Duration", 1500);
  table[PARAM_LAZER4_DURATION] = CParam("!Lazer4 Duration", 1500);
  table[PARAM_PLASMA_DURATION] = CParam("!Plasma Duration", 2000);
  table[PARAM_ENHANCED_LAZER1_DURATION] = CParam("!Enhanced Lazer1 Duration", 2000);
  table[PARAM_ENHANCED_LAZER2_DURATION] = CParam("!Enhanced Lazer2 Duration", 2000);
  table[PARAM_ENHANCED_LAZER4_DURATION] = CParam("!Enhanced Lazer4 Duration", 2000);
  table[PARAM_ENHANCED_PLASMA_DURATION] = CParam("!Enhanced Plasma Duration", 2500);
  table[PARAM_CHAIN_GUN_DURATION] = CParam("!Chaingun Duration", 1500);
  table[PARAM_CANNON_DURATION] = CParam("!Cannon Duration", 3000);
  table[PARAM_FALLING_DAMAGE_MINIMUM_FALL_HEIGHT] =
      FloatRow("!Falling Damage Minimum Fall Height", 6.0f);
  table[PARAM_FALLING_DAMAGE_MINIMUM_SPEED] = FloatRow("!Falling Damage Minimum Speed", 20.0f);
  table[PARAM_FALLING_DAMAGE_FACTOR_CONSTANT] = FloatRow("!Falling Damage Factor Constant", 2.0f);
  table[PARAM_FALLING_DAMAGE_FACTOR_LINEAR] = FloatRow("!Falling Damage Factor Linear", 0.5f);
  table[PARAM_SHIELD_MG_DAMAGE_PERCENT] = CParam("!Shield MG Damage %", 50);
  table[PARAM_SHIELD_FRAG_DAMAGE_PERCENT] = CParam("!Shield Frag Damage %", 50);
  table[PARAM_SHIELD_HEAT_DAMAGE_PERCENT] = CParam("!Shield HEAT Damage %", 50);
  table[PARAM_SHIELD_AP_DAMAGE_PERCENT] = CParam("!Shield AP Damage %", 50);
  table[PARAM_SHIELD_LAZER1_DAMAGE_PERCENT] = CParam("!Shield Lazer1 Damage %", 50);
  table[PARAM_SHIELD_LAZER2_DAMAGE_PERCENT] = CParam("!Shield Lazer2 Damage %", 50);
  table[PARAM_SHIELD_LAZER4_DAMAGE_PERCENT] = CParam("!Shield Lazer4 Damage %", 50);
  table[PARAM_SHIELD_PLASMA_DAMAGE_PERCENT] = CParam("!Shield Plasma Damage %", 50);
  table[PARAM_SHIELD_RECON_BASE_BOLT_DAMAGE_PERCENT] =
      CParam("!Shield Recon/Base Bolt Damage %", 50);
  table[PARAM_SHIELD_DRONE_BOLT_DAMAGE_PERCENT] = CParam("!Shield Drone Bolt Damage %", 50);
  table[PARAM_SHIELD_DETONATE_MINE_DAMAGE_PERCENT] = CParam("!Shield Detonate Mine Damage %", 50);
  table[PARAM_SHIELD_PROXIMITY_MINE_DAMAGE_PERCENT] = CParam("!Shield Proximity Mine Damage %", 50);
  table[PARAM_SHIELD_DEACTIVATOR_MINE_DAMAGE_PERCENT] =
      CParam("!Shield Deactivator Mine Damage %", 50);
  table[PARAM_SHIELD_MISSILE_GUIDED_DAMAGE_PERCENT] = CParam("!Shield Missile Guided Damage %", 50);
  table[PARAM_SHIELD_MISSILE_PHOENIX_DAMAGE_PERCENT] =
      CParam("!Shield Missile Phoenix Damage %", 50);
  table[PARAM_SHIELD_MISSILE_DEACTIVATOR_DAMAGE_PERCENT] =
      CParam("!Shield Missile Deactivator Damage %", 50);
  table[PARAM_SHIELD_MISSILE_DRAIN_DAMAGE_PERCENT] = CParam("!Shield Missile Drain Damage %", 50);
  table[PARAM_SHIELD_MISSILE_FLASH_DAMAGE_PERCENT] = CParam("!Shield Millile Flash Damage %", 50);
  table[PARAM_TURRET_TIME_TO_FULL_SPEED] = CParam("!Turret Time To Full Speed", 0);
  table[PARAM_IN_RECON_ARMOR_HEAL_RATE] = FloatRow("!In Recon Armor Heal Rate", 1.0f);
  table[PARAM_IN_RECON_CRITS_HEAL_RATE] = FloatRow("!In Recon Crits Heal Rate", 1.0f);
  table[PARAM_DIZURORUV_HORIZONTAL_TURRET_FACTOR] =
      FloatRow("!Dizuroruv Horizontal Turret Factor", 1.0f);
  table[PARAM_RIVAVARU_HORIZONTAL_TURRET_FACTOR] =
      FloatRow("!Rivavaru Horizontal Turret Factor", 1.0f);
  table[PARAM_VOREDOVEVA_HORIZONTAL_TURRET_FACTOR] =
      FloatRow("!Voredoveva Horizontal Turret Factor", 1.0f);
  table[PARAM_VODIDORIR_HORIZONTAL_TURRET_FACTOR] =
      FloatRow("!Vodidorir Horizontal Turret Factor", 1.0f);
  table[PARAM_VARAZARU_HORIZONTAL_TURRET_FACTOR] =
      FloatRow("!VarAzaru Horizontal Turret Factor", 1.0f);
  table[PARAM_DIZURORUV_VERTICAL_TURRET_FACTOR] =
      FloatRow("!Dizuroruv Vertical Turret Factor", 0.5f);
  table[PARAM_RIVAVARU_VERTICAL_TURRET_FACTOR] = FloatRow("!Rivavaru Vertical Turret Factor", 0.5f);
  table[PARAM_VOREDOVEVA_VERTICAL_TURRET_FACTOR] =
      FloatRow("!Voredoveva Vertical Turret Factor", 0.5f);
  table[PARAM_VODIDORIR_VERTICAL_TURRET_FACTOR] =
      FloatRow("!Vodidorir Vertical Turret Factor", 0.5f);
  table[PARAM_VARAZARU_VERTICAL_TURRET_FACTOR] = FloatRow("!VarAzaru Vertical Turret Factor", 0.5f);
  table[PARAM_PHOENIX_MISSILE_PROXIMITY_RADIUS] =
      FloatRow("!Phoenix Missile Proximity Radius", 6.0f);
  table[PARAM_GUIDED_MISSILE_PROXIMITY_RADIUS] = FloatRow("!Guided Missile Proximity Radius", 6.0f);
  table[PARAM_PHOENIX_MISSILE_FIRE_RATE] = CParam("!Phoenix Missile Fire Rate", 2000);
  table[PARAM_GUIDED_MISSILE_FIRE_RATE] = CParam("!Guided Missile Fire Rate", 2000);
  table[PARAM_OTHER_MISSILE_FIRE_RATE] = CParam("!Other Missile Fire Rate", 2000);
  table[PARAM_TANK_REBOUND_IMPULSE_FACTOR] = FloatRow("!Tank Rebound Impulse Factor", 1.3f);
  table[PARAM_ZONE_0_MAX_FRAMES_BETWEEN_TANK_MOVES] =
      CParam("!Zone 0 Max Frames Between Tank Moves", 100);
  table[PARAM_ZONE_0_MAX_TIME_BETWEEN_TANK_MOVES] =
      FloatRow("!Zone 0 Max Time Between Tank Moves", 2.0f);
  table[PARAM_ZONE_1_MAX_FRAMES_BETWEEN_TANK_MOVES] =
      CParam("!Zone 1 Max Frames Between Tank Moves", 100);
  table[PARAM_ZONE_1_MAX_TIME_BETWEEN_TANK_MOVES] =
      FloatRow("!Zone 1 Max Time Between Tank Moves", 2.0f);
  table[PARAM_ZONE_2_MAX_FRAMES_BETWEEN_TANK_MOVES] =
      CParam("!Zone 2 Max Frames Between Tank Moves", 4);
  table[PARAM_ZONE_2_MAX_TIME_BETWEEN_TANK_MOVES] =
      FloatRow("!Zone 2 Max Time Between Tank Moves", 2.0f);
  table[PARAM_ZONE_3_MAX_FRAMES_BETWEEN_TANK_MOVES] =
      CParam("!Zone 3 Max Frames Between Tank Moves", 1);
  table[PARAM_ZONE_3_MAX_TIME_BETWEEN_TANK_MOVES] =
      FloatRow("!Zone 3 Max Time Between Tank Moves", 0.0f);
  table[PARAM_TESSELLATION_MULTI_POLYGON] = FloatRow("TessellationMultiPolygon", 0.05f);
  table[PARAM_LIGHT_AND_TESSELLATION] = FloatRow("Light & Tessellation", 0.05f);
  table[PARAM_LIGHT_RADIUS_HIGH] = FloatRow("Light Radius High", 3.0f);
  table[PARAM_LIGHT_INTENSITY_HIGH] = FloatRow("Light Intensity High", 1.0f);
  table[PARAM_DIZURORUV_SHIELD_MIN_DOWN_TIME] = CParam("!Dizuroruv Shield Min Down Time", 1000);
  table[PARAM_RIVAVARU_SHIELD_MIN_DOWN_TIME] = CParam("!Rivavaru Shield Min Down Time", 1000);
  table[PARAM_VOREDOVEVA_SHIELD_MIN_DOWN_TIME] = CParam("!Voredoveva Shield Min Down Time", 1000);
  table[PARAM_VODIDORIR_SHIELD_MIN_DOWN_TIME] = CParam("!Vodidorir Shield Min Down Time", 1000);
  table[PARAM_VARAZARU_SHIELD_MIN_DOWN_TIME] = CParam("!VarAzaru Shield Min Down Time", 1000);
  table[PARAM_DIZURORUV_SHIELD_CHARGE_RATE] = CParam("#Dizuroruv Shield Charge Rate", 20);
  table[PARAM_RIVAVARU_SHIELD_CHARGE_RATE] = CParam("#Rivavaru Shield Charge Rate", 20);
  table[PARAM_VOREDOVEVA_SHIELD_CHARGE_RATE] = CParam("#Voredoveva Shield Charge Rate", 20);
  table[PARAM_VODIDORIR_SHIELD_CHARGE_RATE] = CParam("#Vodidorir Shield Charge Rate", 20);
  table[PARAM_VARAZARU_SHIELD_CHARGE_RATE] = CParam("#VarAzaru Shield Charge Rate", 20);
  table[PARAM_DIZURORUV_SHIELD_TRANSFER_RATE] = CParam("#Dizuroruv Shield Transfer Rate", 60);
  table[PARAM_RIVAVARU_SHIELD_TRANSFER_RATE] = CParam("#Rivavaru Shield Transfer Rate", 60);
  table[PARAM_VOREDOVEVA_SHIELD_TRANSFER_RATE] = CParam("#Voredoveva Shield Transfer Rate", 60);
  table[PARAM_VODIDORIR_SHIELD_TRANSFER_RATE] = CParam("#Vodidorir Shield Transfer Rate", 60);
  table[PARAM_VARAZARU_SHIELD_TRANSFER_RATE] = CParam("#VarAzaru Shield Transfer Rate", 60);
  table[PARAM_DIZURORUV_SHIELD_DECAY_RATE] = CParam("#Dizuroruv Shield Decay Rate", 50);
  table[PARAM_RIVAVARU_SHIELD_DECAY_RATE] = CParam("#Rivavaru Shield Decay Rate", 50);
  table[PARAM_VOREDOVEVA_SHIELD_DECAY_RATE] = CParam("#Voredoveva Shield Decay Rate", 50);
  table[PARAM_VODIDORIR_SHIELD_DECAY_RATE] = CParam("#Vodidorir Shield Decay Rate", 50);
  table[PARAM_VARAZARU_SHIELD_DECAY_RATE] = CParam("#VarAzaru Shield Decay Rate", 50);
  table[PARAM_DIZURORUV_SHIELD_DRAIN] = FloatRow("#Dizuroruv Shield Drain", 0.5f);
  table[PARAM_RIVAVARU_SHIELD_DRAIN] = FloatRow("#Rivavaru Shield Drain", 0.5f);
  table[PARAM_VOREDOVEVA_SHIELD_DRAIN] = FloatRow("#Voredoveva Shield Drain", 0.5f);
  table[PARAM_VODIDORIR_SHIELD_DRAIN] = FloatRow("#Vodidorir Shield Drain", 0.5f);
  table[PARAM_VARAZARU_SHIELD_DRAIN] = FloatRow("#VarAzaru Shield Drain", 0.5f);
  table[PARAM_DIZURORUV_SHIELD_RECOVER] = FloatRow("#Dizuroruv Shield Recover", 1.0f);
  table[PARAM_RIVAVARU_SHIELD_RECOVER] = FloatRow("#Rivavaru Shield Recover", 1.0f);
  table[PARAM_VOREDOVEVA_SHIELD_RECOVER] = FloatRow("#Voredoveva Shield Recover", 1.0f);
  table[PARAM_VODIDORIR_SHIELD_RECOVER] = FloatRow("#Vodidorir Shield Recover", 1.0f);
  table[PARAM_VARAZARU_SHIELD_RECOVER] = FloatRow("#VarAzaru Shield Recover", 1.0f);
  table[PARAM_DIZURORUV_BOOST_CHARGE_RATE] = CParam("#Dizuroruv Boost Charge Rate", 20);
  table[PARAM_RIVAVARU_BOOST_CHARGE_RATE] = CParam("#Rivavaru Boost Charge Rate", 20);
  table[PARAM_VOREDOVEVA_BOOST_CHARGE_RATE] = CParam("#Voredoveva Boost Charge Rate", 20);
  table[PARAM_VODIDORIR_BOOST_CHARGE_RATE] = CParam("#Vodidorir Boost Charge Rate", 20);
  table[PARAM_VARAZARU_BOOST_CHARGE_RATE] = CParam("#VarAzaru Boost Charge Rate", 20);
  table[PARAM_DIZURORUV_BOOST_TRANSFER_RATE] = CParam("#Dizuroruv Boost Transfer Rate", 60);
  table[PARAM_RIVAVARU_BOOST_TRANSFER_RATE] = CParam("#Rivavaru Boost Transfer Rate", 60);
  table[PARAM_VOREDOVEVA_BOOST_TRANSFER_RATE] = CParam("#Voredoveva Boost Transfer Rate", 60);
  table[PARAM_VODIDORIR_BOOST_TRANSFER_RATE] = CParam("#Vodidorir Boost Transfer Rate", 60);
  table[PARAM_VARAZARU_BOOST_TRANSFER_RATE] = CParam("#VarAzaru Boost Transfer Rate", 60);
  table[PARAM_DIZURORUV_BOOST_DECAY_RATE] = CParam("#Dizuroruv Boost Decay Rate", 50);
  table[PARAM_RIVAVARU_BOOST_DECAY_RATE] = CParam("#Rivavaru Boost Decay Rate", 50);
  table[PARAM_VOREDOVEVA_BOOST_DECAY_RATE] = CParam("#Voredoveva Boost Decay Rate", 50);
  table[PARAM_VODIDORIR_BOOST_DECAY_RATE] = CParam("#Vodidorir Boost Decay Rate", 50);
  table[PARAM_VARAZARU_BOOST_DECAY_RATE] = CParam("#VarAzaru Boost Decay Rate", 50);
  table[PARAM_DIZURORUV_BOOST_DRAIN] = FloatRow("#Dizuroruv Boost Drain", 0.5f);
  table[PARAM_RIVAVARU_BOOST_DRAIN] = FloatRow("#Rivavaru Boost Drain", 0.5f);
  table[PARAM_VOREDOVEVA_BOOST_DRAIN] = FloatRow("#Voredoveva Boost Drain", 0.5f);
  table[PARAM_VODIDORIR_BOOST_DRAIN] = FloatRow("#Vodidorir Boost Drain", 0.5f);
  table[PARAM_VARAZARU_BOOST_DRAIN] = FloatRow("#VarAzaru Boost Drain", 0.5f);
  table[PARAM_DIZURORUV_BOOST_RECOVER] = FloatRow("#Dizuroruv Boost Recover", 1.0f);
  table[PARAM_RIVAVARU_BOOST_RECOVER] = FloatRow("#Rivavaru Boost Recover", 1.0f);
  table[PARAM_VOREDOVEVA_BOOST_RECOVER] = FloatRow("#Voredoveva Boost Recover", 1.0f);
  table[PARAM_VODIDORIR_BOOST_RECOVER] = FloatRow("#Vodidorir Boost Recover", 1.0f);
  table[PARAM_VARAZARU_BOOST_RECOVER] = FloatRow("#VarAzaru Boost Recover", 1.0f);
  table[PARAM_DOWNWARD_FORCE_OF_GRAVITY] = FloatRow("#Downward Force of Gravity", 40.0f);
  table[PARAM_LEVELING_TORQUE_OF_GRAVITY] = FloatRow("#Leveling Torque of Gravity", 25.0f);
  table[PARAM_LEVELING_DAMPING_FACTOR] = FloatRow("#Leveling Damping Factor", 50.0f);
  table[PARAM_LEVELING_DRAG_LINEAR_FACTOR] = FloatRow("#Leveling Drag Linear Factor", 6.0f);
  table[PARAM_LEVELING_DRAG_CONSTANT_FACTOR] = FloatRow("#Leveling Drag Constant Factor", 6.0f);
  table[PARAM_LINEAR_FLOOR_DRAG_LINEAR_FACTOR] = FloatRow("#Linear Floor Drag Linear Factor", 2.0f);
  table[PARAM_LINEAR_FLOOR_DRAG_CONSTANT_FACTOR] =
      FloatRow("#Linear Floor Drag Constant Factor", 4.0f);
  table[PARAM_ANGULAR_FLOOR_DRAG_LINEAR_FACTOR] =
      FloatRow("#Angular Floor Drag Linear Factor", 2.0f);
  table[PARAM_ANGULAR_FLOOR_DRAG_CONSTANT_FACTOR] =
      FloatRow("#Angular Floor Drag Constant Factor", 1.0f);
  table[PARAM_WALL_REBOUND_IMPULSE_FACTOR] = FloatRow("!Wall Rebound Impulse Factor", 1.1f);
  table[PARAM_TURBO_FORCE_MULTIPLIER] = FloatRow("!Turbo Force Multiplier", 2.0f);
  table[PARAM_FLIPPING_THRUST_MULTIPLIER] = FloatRow("#Flipping Thrust Multiplier", 1.1f);
  table[PARAM_UPSIDE_DOWN_DISABLE_DURATION] = CParam("!Upside Down Disable Duration", 5000);
  table[PARAM_FLOOR_REBOUND_IMPULSE_FACTOR] = FloatRow("!Floor Rebound Impulse Factor", 1.2f);
  table[PARAM_NO_GRAVITY_ZONE_HEIGHT] = FloatRow("!No Gravity Zone Height", 0.5f);
  table[PARAM_FRAG_SHELL_LAUNCH_IMPULSE] = FloatRow("!Frag Shell Launch Impulse", 1.0f);
  table[PARAM_FRAG_SHELL_HIT_IMPULSE] = FloatRow("!Frag Shell Hit Impulse", 3.0f);
  table[PARAM_HEAT_SHELL_LAUNCH_IMPULSE] = FloatRow("!Heat Shell Launch Impulse", 1.0f);
  table[PARAM_HEAT_SHELL_HIT_IMPULSE] = FloatRow("!Heat Shell Hit Impulse", 3.0f);
  table[PARAM_AP_SHELL_LAUNCH_IMPULSE] = FloatRow("!AP Shell Launch Impulse", 1.0f);
  table[PARAM_AP_SHELL_HIT_IMPULSE] = FloatRow("!AP Shell Hit Impulse", 3.0f);
  table[PARAM_MARK_I_LAUNCH_IMPULSE] = FloatRow("!Mark I Launch Impulse", 1.0f);
  table[PARAM_MARK_I_HIT_IMPULSE] = FloatRow("!Mark I Hit Impulse", 3.0f);
  table[PARAM_MARK_II_LAUNCH_IMPULSE] = FloatRow("!Mark II Launch Impulse", 1.0f);
  table[PARAM_MARK_II_HIT_IMPULSE] = FloatRow("!Mark II Hit Impulse", 3.0f);
  table[PARAM_MARK_IV_LAUNCH_IMPULSE] = FloatRow("!Mark IV Launch Impulse", 1.0f);
  table[PARAM_MARK_IV_HIT_IMPULSE] = FloatRow("!Mark IV Hit Impulse", 3.0f);
  table[PARAM_PLASMA_CANNON_LAUNCH_IMPULSE] = FloatRow("!Plasma Cannon Launch Impulse", 1.0f);
  table[PARAM_PLASMA_CANNON_HIT_IMPULSE] = FloatRow("!Plasma Cannon Hit Impulse", 3.0f);
  table[PARAM_PHOENIX_MISSILE_LAUNCH_IMPULSE] = FloatRow("!Phoenix Missile Launch Impulse", 1.0f);
  table[PARAM_PHOENIX_MISSILE_HIT_IMPULSE] = FloatRow("!Phoenix Missile Hit Impulse", 3.0f);
  table[PARAM_GUIDED_MISSILE_LAUNCH_IMPULSE] = FloatRow("!Guided Missile Launch Impulse", 1.0f);
  table[PARAM_GUIDED_MISSILE_HIT_IMPULSE] = FloatRow("!Guided Missile Hit Impulse", 3.0f);
  table[PARAM_DEACTIVATOR_MISSILE_LAUNCH_IMPULSE] =
      FloatRow("!Deactivator Missile Launch Impulse", 1.0f);
  table[PARAM_DEACTIVATOR_MISSILE_HIT_IMPULSE] = FloatRow("!Deactivator Missile Hit Impulse", 3.0f);
  table[PARAM_BATTERY_DRAIN_MISSILE_LAUNCH_IMPULSE] =
      FloatRow("!Battery Drain Missile Launch Impulse", 1.0f);
  table[PARAM_BATTERY_DRAIN_MISSILE_HIT_IMPULSE] =
      FloatRow("!Battery Drain Missile Hit Impulse", 3.0f);
  table[PARAM_FLASH_MISSILE_LAUNCH_IMPULSE] = FloatRow("!Flash Missile Launch Impulse", 1.0f);
  table[PARAM_FLASH_MISSILE_HIT_IMPULSE] = FloatRow("!Flash Missile Hit Impulse", 3.0f);
  table[PARAM_CHAIN_GUN_LAUNCH_IMPULSE] = FloatRow("!Chain Gun Launch Impulse", 1.0f);
  table[PARAM_CHAIN_GUN_HIT_IMPULSE] = FloatRow("!Chain Gun Hit Impulse", 3.0f);
  table[PARAM_FLARE_LAUNCH_IMPULSE] = FloatRow("!Flare Launch Impulse", 1.0f);
  table[PARAM_DEFENSE_LASER_HIT_IMPULSE] = FloatRow("!Defense Laser Hit Impulse", 3.0f);
  table[PARAM_IMPULSE_RECOIL_AIR_FACTOR] = FloatRow("!Impulse Recoil Air Factor", 0.5f);
  table[PARAM_PROXIMITY_HIT_ROCKING_IMPULSE] = FloatRow("!Proximity Hit Rocking Impulse", 4.0f);
  table[PARAM_DIZURORUV_MAX_FORWARD_THRUST] = FloatRow("!Dizuroruv  Max Forward Thrust", 39.0f);
  table[PARAM_RIVAVARU_MAX_FORWARD_THRUST] = FloatRow("!Rivavaru   Max Forward Thrust", 62.5f);
  table[PARAM_VOREDOVEVA_MAX_FORWARD_THRUST] = FloatRow("!Voredoveva Max Forward Thrust", 89.5f);
  table[PARAM_VODIDORIR_MAX_FORWARD_THRUST] = FloatRow("!Vodidorir  Max Forward Thrust", 40.0f);
  table[PARAM_VARAZARU_MAX_FORWARD_THRUST] = FloatRow("!VarAzaru   Max Forward Thrust", 54.0f);
  table[PARAM_DIZURORUV_MAX_REVERSE_THRUST] = FloatRow("!Dizuroruv  Max Reverse Thrust", 24.0f);
  table[PARAM_RIVAVARU_MAX_REVERSE_THRUST] = FloatRow("!Rivavaru   Max Reverse Thrust", 38.0f);
  table[PARAM_VOREDOVEVA_MAX_REVERSE_THRUST] = FloatRow("!Voredoveva Max Reverse Thrust", 54.0f);
  table[PARAM_VODIDORIR_MAX_REVERSE_THRUST] = FloatRow("!Vodidorir  Max Reverse Thrust", 24.0f);
  table[PARAM_VARAZARU_MAX_REVERSE_THRUST] = FloatRow("!VarAzaru   Max Reverse Thrust", 33.0f);
  table[PARAM_DIZURORUV_MAX_TURNING_THRUST] = FloatRow("!Dizuroruv  Max Turning Thrust", 20.0f);
  table[PARAM_RIVAVARU_MAX_TURNING_THRUST] = FloatRow("!Rivavaru   Max Turning Thrust", 24.0f);
  table[PARAM_VOREDOVEVA_MAX_TURNING_THRUST] = FloatRow("!Voredoveva Max Turning Thrust", 30.0f);
  table[PARAM_VODIDORIR_MAX_TURNING_THRUST] = FloatRow("!Vodidorir  Max Turning Thrust", 20.0f);
  table[PARAM_VARAZARU_MAX_TURNING_THRUST] = FloatRow("!VarAzaru   Max Turning Thrust", 22.0f);
  table[PARAM_DIZURORUV_MAX_FINE_TURNING_THRUST] =
      FloatRow("!Dizuroruv  Max Fine Turning Thrust", 8.0f);
  table[PARAM_RIVAVARU_MAX_FINE_TURNING_THRUST] =
      FloatRow("!Rivavaru   Max Fine Turning Thrust", 10.0f);
  table[PARAM_VOREDOVEVA_MAX_FINE_TURNING_THRUST] =
      FloatRow("!Voredoveva Max Fine Turning Thrust", 12.0f);
  table[PARAM_VODIDORIR_MAX_FINE_TURNING_THRUST] =
      FloatRow("!Vodidorir  Max Fine Turning Thrust", 8.0f);
  table[PARAM_VARAZARU_MAX_FINE_TURNING_THRUST] =
      FloatRow("!VarAzaru   Max Fine Turning Thrust", 9.0f);
  table[PARAM_DIZURORUV_MASS] = FloatRow("!Dizuroruv  Mass", 1.0f);
  table[PARAM_RIVAVARU_MASS] = FloatRow("!Rivavaru   Mass", 1.2f);
  table[PARAM_VOREDOVEVA_MASS] = FloatRow("!Voredoveva Mass", 1.6f);
  table[PARAM_VODIDORIR_MASS] = FloatRow("!Vodidorir  Mass", 1.0f);
  table[PARAM_VARAZARU_MASS] = FloatRow("!VarAzaru   Mass", 1.3f);
  table[PARAM_DIZURORUV_MOMENT_OF_INERTIA] = FloatRow("!Dizuroruv  Moment of Inertia", 2.0f);
  table[PARAM_RIVAVARU_MOMENT_OF_INERTIA] = FloatRow("!Rivavaru   Moment of Inertia", 2.4f);
  table[PARAM_VOREDOVEVA_MOMENT_OF_INERTIA] = FloatRow("!Voredoveva Moment of Inertia", 3.2f);
  table[PARAM_VODIDORIR_MOMENT_OF_INERTIA] = FloatRow("!Vodidorir  Moment of Inertia", 2.0f);
  table[PARAM_VARAZARU_MOMENT_OF_INERTIA] = FloatRow("!VarAzaru   Moment of Inertia", 2.6f);
  table[PARAM_DIZURORUV_TURNING_THRUST_POINT] = FloatRow("!Dizuroruv  Turning Thrust Point", 0.5f);
  table[PARAM_RIVAVARU_TURNING_THRUST_POINT] = FloatRow("!Rivavaru   Turning Thrust Point", 0.5f);
  table[PARAM_VOREDOVEVA_TURNING_THRUST_POINT] = FloatRow("!Voredoveva Turning Thrust Point", 0.5f);
  table[PARAM_VODIDORIR_TURNING_THRUST_POINT] = FloatRow("!Vodidorir  Turning Thrust Point", 0.5f);
  table[PARAM_VARAZARU_TURNING_THRUST_POINT] = FloatRow("!VarAzaru   Turning Thrust Point", 0.5f);
  table[PARAM_DIZURORUV_DRIVE_DRAG_LINEAR] = FloatRow("!Dizuroruv  Drive Drag Linear", 2.0f);
  table[PARAM_RIVAVARU_DRIVE_DRAG_LINEAR] = FloatRow("!Rivavaru   Drive Drag Linear", 2.0f);
  table[PARAM_VOREDOVEVA_DRIVE_DRAG_LINEAR] = FloatRow("!Voredoveva Drive Drag Linear", 2.0f);
  table[PARAM_VODIDORIR_DRIVE_DRAG_LINEAR] = FloatRow("!Vodidorir  Drive Drag Linear", 2.0f);
  table[PARAM_VARAZARU_DRIVE_DRAG_LINEAR] = FloatRow("!VarAzaru   Drive Drag Linear", 2.0f);
  table[PARAM_DIZURORUV_DRIVE_DRAG_CONSTANT] = FloatRow("!Dizuroruv  Drive Drag Constant", 4.0f);
  table[PARAM_RIVAVARU_DRIVE_DRAG_CONSTANT] = FloatRow("!Rivavaru   Drive Drag Constant", 4.0f);
  table[PARAM_VOREDOVEVA_DRIVE_DRAG_CONSTANT] = FloatRow("!Voredoveva Drive Drag Constant", 4.0f);
  table[PARAM_VODIDORIR_DRIVE_DRAG_CONSTANT] = FloatRow("!Vodidorir  Drive Drag Constant", 4.0f);
  table[PARAM_VARAZARU_DRIVE_DRAG_CONSTANT] = FloatRow("!VarAzaru   Drive Drag Constant", 4.0f);
}

void InitArenaParams() {
  auto& table = ArenaParamTable;
  table.fill(CParam());
  table[0] = CParam("Data Version Number", 0);
  table[1] = CParam("Update Frequency", 0);
  table[2] = FloatRow("Yon", 0.0f);
  table[3] = FloatRow("Roof Height", 0.0f);
  table[4] = FloatRow("Gravity", 0.0f);
  table[5] = FloatRow("Friction", 0.0f);
  table[6] = CParam("Day Duration", 10);
  table[7] = CParam("Night Duration", 10);
  table[8] = CParam("Twilight Duration", 4);
  table[9] = CParam("Rain Duration", 0);
  table[10] = CParam("Rain Random chance", 20);
  table[11] = CParam("Fog Duration", 0);
  table[12] = CParam("FogLess Duration", 0);
  table[13] = FloatRow("Fog_Hither", 0.0f);
  table[14] = CParam("Fog Red", 0);
  table[15] = CParam("Fog Blue", 0);
  table[16] = CParam("Fog Green", 0);
  table[17] = CParam("Tower Death Duration", 0);
  table[18] = CParam("Tower Armor", 0);
  table[19] = FloatRow("Tower Attack Range", 0.0f);
  table[20] = CParam("Recon Capture Time (sec)", 5);
  table[21] = CParam("Recon NoCapture Time (sec)", 5);
  table[22] = CParam("ReconGun Armor", 100);
  table[23] = FloatRow("ReconGun Attack Range", 200.0f);
  table[24] = CParam("Update Cycle Time\t", 200);
  table[25] = FloatRow("Update Cycle Range 0", 0.0f);
  table[26] = FloatRow("Update Cycle Range 1", 0.5f);
  table[27] = FloatRow("Update Cycle Range 2", 2.0f);
  table[28] = FloatRow("Update Cycle Range 3", 0.5f);
  table[29] = FloatRow("Update Cycle Range 4", 0.0f);
  table[30] = FloatRow("Update Cycle Range 5", 0.5f);
  table[31] = FloatRow("Update Cycle Range 6", 1.0f);
  table[32] = FloatRow("Update Cycle Range 7", 0.5f);
  table[33] = CParam("Sun Orbit Period", 1440);
  table[34] = FloatRow("Sun Scale", 150.0f);
  table[35] = CParam("Sun Translucency", 128);
  table[36] = CParam("Moon Orbit Period", 4000);
  table[37] = FloatRow("Moon Scale", 45.0f);
  table[38] = CParam("Moon Translucency", 128);
  table[39] = FloatRow("Moon Elliptic Angle", 15.0f);
  table[40] = FloatRow("Day Rain Chance", 20.0f);
  table[41] = FloatRow("Night Rain Chance", 10.0f);
  table[42] = FloatRow("Day Snow Chance", 0.0f);
  table[43] = FloatRow("Night Snow Chance", 10.0f);
  table[44] = FloatRow("Near Cloudlayer Velocity", 0.005f);
  table[45] = CParam("Near Cloudlayer Translucency", 128);
  table[46] = FloatRow("Far Cloudlayer Velocity", 0.0005f);
  table[47] = CParam("Lensflare 1 Type", 0);
  table[48] = FloatRow("Lensflare 1 Distance", -0.2f);
  table[49] = FloatRow("Lensflare 1 Scale", 0.125f);
  table[50] = CParam("Lensflare 1 Red", 255);
  table[51] = CParam("Lensflare 1 Green", 255);
  table[52] = CParam("Lensflare 1 Blue", 255);
  table[53] = CParam("Lensflare 2 Type", 0);
  table[54] = FloatRow("Lensflare 2 Distance", 0.8f);
  table[55] = FloatRow("Lensflare 2 Scale", 0.175f);
  table[56] = CParam("Lensflare 2 Red", 0);
  table[57] = CParam("Lensflare 2 Green", 0);
  table[58] = CParam("Lensflare 2 Blue", 255);
  table[59] = CParam("Lensflare 3 Type", 0);
  table[60] = FloatRow("Lensflare 3 Distance", 0.85f);
  table[61] = FloatRow("Lensflare 3 Scale", 0.2f);
  table[62] = CParam("Lensflare 3 Red", 0);
  table[63] = CParam("Lensflare 3 Green", 0);
  table[64] = CParam("Lensflare 3 Blue", 255);
  table[65] = CParam("Lensflare 4 Type", 0);
  table[66] = FloatRow("Lensflare 4 Distance", 0.95f);
  table[67] = FloatRow("Lensflare 4 Scale", 0.4f);
  table[68] = CParam("Lensflare 4 Red", 255);
  table[69] = CParam("Lensflare 4 Green", 255);
  table[70] = CParam("Lensflare 4 Blue", 255);
  table[71] = CParam("Lensflare 5 Type", 0);
  table[72] = FloatRow("Lensflare 5 Distance", 0.98f);
  table[73] = FloatRow("Lensflare 5 Scale", 0.5f);
  table[74] = CParam("Lensflare 5 Red", 255);
  table[75] = CParam("Lensflare 5 Green", 0);
  table[76] = CParam("Lensflare 5 Blue", 255);
  table[77] = CParam("Lensflare 6 Type", 1);
  table[78] = FloatRow("Lensflare 6 Distance", 0.55f);
  table[79] = FloatRow("Lensflare 6 Scale", 0.15f);
  table[80] = CParam("Lensflare 6 Red", 255);
  table[81] = CParam("Lensflare 6 Green", 0);
  table[82] = CParam("Lensflare 6 Blue", 0);
  table[83] = CParam("Lensflare 7 Type", 1);
  table[84] = FloatRow("Lensflare 7 Distance", 0.9f);
  table[85] = FloatRow("Lensflare 7 Scale", 0.3f);
  table[86] = CParam("Lensflare 7 Red", 0);
  table[87] = CParam("Lensflare 7 Green", 255);
  table[88] = CParam("Lensflare 7 Blue", 0);
  table[89] = CParam("Lensflare 8 Type", 1);
  table[90] = FloatRow("Lensflare 8 Distance", 1.15f);
  table[91] = FloatRow("Lensflare 8 Scale", 0.25f);
  table[92] = CParam("Lensflare 8 Red", 0);
  table[93] = CParam("Lensflare 8 Green", 0);
  table[94] = CParam("Lensflare 8 Blue", 255);
  table[95] = FloatRow("SunFogScale", 1.2f);
  table[96] = FloatRow("LensflareFogScale", 1.5f);
  table[97] = CParam("DayPercent", 40);
  table[98] = CParam("TwilightPercent", 20);
  table[99] = CParam("InitialTOD", 2);
}

std::int32_t GetGameParamInt(std::size_t row) {
  assert(row < GAME_PARAM_COUNT);
  return GameParamTable[row].GetInt();
}

float GetGameParamFloat(std::size_t row) {
  assert(row < GAME_PARAM_COUNT);
  return GameParamTable[row].GetFloat();
}

namespace {

// The tables are plain globals of the library: filling them when it is loaded gives every load
// fresh defaults, whatever the previous game changed.
struct ParamTablesAtLoad {
  ParamTablesAtLoad() {
    InitGameParams();
    InitArenaParams();
  }
};
const ParamTablesAtLoad paramTablesAtLoad;

}  // namespace
