#include "battle/cockpit/weapons_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A loadout with a cannon and all three shells, two lasers, a missile, the cloak and the flag
// catcher.
WeaponsListState Loadout() {
  WeaponsListState s;
  s.cannon = {"Cannon"};
  s.shells = {{{"Frag Shells", 12}, {"HEAT Shells", 5}, {"AP Shells", 0}}};
  s.selectedShell = 1;
  s.energyWeapons[0] = {"Mark I Laser"};
  s.energyWeapons[3] = {"Plasma Cannon"};
  s.missiles[1] = {"Guided Missile", 3};
  s.missiles[2] = {"Deactivator Missile", 0};
  s.cloak = {"Cloak"};
  s.flagCatcher = {"Flag Catcher"};
  return s;
}

TEST(WeaponsListTest, Loadouts) {
  struct Case {
    const char* name;
    std::function<void(WeaponsListState&)> change;
    std::string text;
  };
  const Case cases[] = {
      {"cannon not selected: every shell green", [](WeaponsListState&) {},
       "\agCannon\n\ag12 Frag Shells\n\ag 5 HEAT Shells\n\ag 0 AP Shells\n\agMark I Laser\n"
       "\agPlasma Cannon\n\aj 3 Guided Missile\n\agCloak\n\aiFlag Catcher\n"},
      {"cannon selected with HEAT", [](WeaponsListState& s) { s.cannonSelected = true; },
       "\ahCannon\n\ag12 Frag Shells\n\ah 5 HEAT Shells\n\ag 0 AP Shells\n\agMark I Laser\n"
       "\agPlasma Cannon\n\aj 3 Guided Missile\n\agCloak\n\aiFlag Catcher\n"},
      {"no shells selected",
       [](WeaponsListState& s) {
         s.selectedShell = -1;
         s.selectedEnergyWeapon = 3;
       },
       "\aiCannon(No Shells!)\n\agMark I Laser\n\ahPlasma Cannon\n\aj 3 Guided Missile\n"
       "\agCloak\n\aiFlag Catcher\n"},
      {"no power",
       [](WeaponsListState& s) {
         s.noPower = true;
         s.selectedEnergyWeapon = 0;
       },
       "\agCannon\n\ag12 Frag Shells\n\ag 5 HEAT Shells\n\ag 0 AP Shells\n\aiMark I Laser\n"
       "\aiPlasma Cannon\n\aj 3 Guided Missile\n\aiCloak\n\aiFlag Catcher\n"},
      {"cloak red while a shield is up, blue flag caught",
       [](WeaponsListState& s) {
         s.rearShield = 4;
         s.flagCatcherArmed = true;
         s.carriedFlagTeam = 2;
       },
       "\agCannon\n\ag12 Frag Shells\n\ag 5 HEAT Shells\n\ag 0 AP Shells\n\agMark I Laser\n"
       "\agPlasma Cannon\n\aj 3 Guided Missile\n\aiCloak\n\ahFlag Caught: Blue \n"},
      {"a team past the four shows as the last",
       [](WeaponsListState& s) {
         s.flagCatcherArmed = true;
         s.carriedFlagTeam = 9;
         s.cloakOn = true;
       },
       "\agCannon\n\ag12 Frag Shells\n\ag 5 HEAT Shells\n\ag 0 AP Shells\n\agMark I Laser\n"
       "\agPlasma Cannon\n\aj 3 Guided Missile\n\ahCloak\n\ahFlag Caught: Grey \n"},
  };
  for (const Case& c : cases) {
    WeaponsListState state = Loadout();
    c.change(state);
    EXPECT_EQ(BuildWeaponsText(state), c.text) << c.name;
  }
}

TEST(WeaponsListTest, FullLoadoutInItsFixedOrder) {
  WeaponsListState s;
  s.mines = {{{"Detonation Mine", 2}, {"Proximity Mine", 0}, {"Deactivator Mine", 1}}};
  s.reservePower = {"Reserve Power", 0};
  s.reservePowerTotal = 2;
  s.stealth = {"Stealth"};
  s.dopplerRadar = {"DopplerRadar"};
  s.infraRed = {"Infra-red"};
  s.infraRedOn = true;
  s.phaseMultiplier = {"Phase Multiplier"};
  s.supercharger = {"Supercharger"};
  s.sharpShooter = {"SharpShooter"};
  s.zoomFactor = 4;
  s.controller = {"Controller"};
  s.canRise = true;
  s.powerReceiver = {"Power Receiver"};
  s.mineSweeper = {"Mine Sweeper", 3};
  s.satelliteCamera = {"Satellite Camera"};
  s.satelliteViewOn = true;
  s.satelliteCameraNumber = 2;
  s.rockets = {"Rockets", 9};
  s.turboBoost = {"Turbo Boost", 2};
  s.dampener = {"Dampener"};
  s.reconCapture = {"Recon Capture", 1};
  s.reconCapturePossible = true;
  EXPECT_EQ(BuildWeaponsText(s),
            "\aj 2 Detonation Mine\n\aj 1 Deactivator Mine\n\ai0 of 2 Reserve Power\n"
            "\agStealth\n\ajDopplerRadar\n\ahInfra-red\n\agPhase Multiplier\n\ajSupercharger\n"
            "\ahSharpShooter(X4)\n\ajController\n\ajPower Receiver\n\aj 3 Mine Sweeper\n"
            "\ahSatellite Camera(#2)\n\aj 9 Rockets\n\aj 2 Turbo Boost\n\ahDampener\n"
            "\ah 1 Recon Capture\n");
}

}  // namespace
