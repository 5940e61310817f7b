// The weapons list of the cockpit's weapons panel: one line for each fitted module or
// ammunition type, coloured unavailable ("\ai"), available ("\ag"), selected or active ("\ah")
// or counted or passive ("\aj").
#pragma once

#include <array>
#include <string>

// A fitted module (a name) or none (null), with its count where it has one.
struct WeaponsListItem {
  const char* name = nullptr;
  int count = 0;
};

// What the list shows of the player's tank, gathered by the tank from its loadout and state.
struct WeaponsListState {
  // No power means a power value of exactly 0.
  bool noPower = false;
  WeaponsListItem cannon;
  bool cannonSelected = false;
  // Frag, HEAT and AP shells; the selected one's index, or -1 for none.
  std::array<WeaponsListItem, 3> shells{};
  int selectedShell = -1;
  // Mark I, II and IV lasers and the plasma cannon; the selected one's index or -1.
  std::array<WeaponsListItem, 4> energyWeapons{};
  int selectedEnergyWeapon = -1;
  // Phoenix, guided, deactivator, battery-drain and flash missiles.
  std::array<WeaponsListItem, 5> missiles{};
  // Detonation, proximity and deactivator mines.
  std::array<WeaponsListItem, 3> mines{};
  // Count: the reserves left.
  WeaponsListItem reservePower;
  int reservePowerTotal = 0;
  WeaponsListItem stealth;
  bool stealthOn = false;
  WeaponsListItem cloak;
  bool cloakOn = false;
  bool cloakRecharging = false;
  int frontShield = 0;
  int rearShield = 0;
  WeaponsListItem dopplerRadar;
  WeaponsListItem infraRed;
  bool infraRedOn = false;
  WeaponsListItem phaseMultiplier;
  bool phaseMultiplierOn = false;
  WeaponsListItem supercharger;
  WeaponsListItem sharpShooter;
  int zoomFactor = 0;
  WeaponsListItem flagCatcher;
  bool flagCatcherArmed = false;
  // The carried flag's team, or -1 for none.
  int carriedFlagTeam = -1;
  WeaponsListItem controller;
  bool canRise = false;
  WeaponsListItem powerReceiver;
  bool receivingPower = false;
  WeaponsListItem mineSweeper;
  WeaponsListItem satelliteCamera;
  bool satelliteViewOn = false;
  int satelliteCameraNumber = 0;
  WeaponsListItem rockets;
  WeaponsListItem turboBoost;
  WeaponsListItem dampener;
  // Count: the captures left.
  WeaponsListItem reconCapture;
  bool reconCapturePossible = false;
};

// The list's lines in their fixed order, each ending with a newline.
std::string BuildWeaponsText(const WeaponsListState& state);
