#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "battle/core/game_params.h"
#include "battle/screens/design_screen.h"

namespace {

// A catalogue slot by its module's name, so the cases read as the player sees them.
int Slot(const char* name) {
  for (int slot = 0; slot < kModuleSlotCount; ++slot) {
    const ModuleEntry& entry = kModuleCatalogue[static_cast<std::size_t>(slot)];
    if (entry.Filled() && std::strcmp(entry.name, name) == 0) {
      return slot;
    }
  }
  ADD_FAILURE() << name;
  return -1;
}

std::size_t BaysRow(const char* name) {
  return kModuleCatalogue[static_cast<std::size_t>(Slot(name))].baysRow;
}

void SetRow(std::size_t row, int value) {
  GameParamTable[row].SetConfirmed(static_cast<std::uint32_t>(value));
}

// Every module needs one bay, every chassis has 15 and no built-in weapon, 2 missiles a launcher.
class PlacementRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const ModuleEntry& entry : kModuleCatalogue) {
      if (entry.Filled()) {
        SetRow(entry.baysRow, 1);
      }
    }
    for (int chassis = 0; chassis < kChassisCount; ++chassis) {
      SetRow(kChassisCatalogue[static_cast<std::size_t>(chassis)].baysRow, 15);
      SetRow(BuiltInWeaponRow(chassis), 0);
    }
    SetRow(PARAM_MISSILE_PACKS_PER_LAUNCHER, 2);
  }
  void TearDown() override { InitGameParams(); }

  void Fit(std::initializer_list<const char*> names) {
    int entry = 0;
    for (const char* name : names) {
      screen_.GetLoadout()[static_cast<std::size_t>(entry++)] =
          static_cast<std::uint32_t>(Slot(name));
    }
  }
  int CanPlaceNext(const char* name) const {
    const Loadout& loadout = screen_.GetLoadout();
    const int bay =
        static_cast<int>(std::find(loadout.begin(), loadout.end(), 0u) - loadout.begin());
    return screen_.CanPlaceModule(Slot(name), bay);
  }

  CDesignScreen screen_;
};

TEST_F(PlacementRulesTest, EachRuleRefusesAndAcceptsAsTheLoadoutStands) {
  const struct {
    const char* what;
    int chassis;
    int builtInWeapon;
    std::initializer_list<const char*> fitted;
    const char* module;
    int expected;
  } cases[] = {
      {"boost needs a shield", 1, 0, {}, "Shield Boost", 0},
      {"boost with a shield", 1, 0, {"Shield"}, "Shield Boost", 1},
      {"shells need a cannon", 1, 0, {}, "Frag Shells", 0},
      {"shells on a built-in cannon", 1, 2, {}, "Frag Shells", 1},
      {"built-in 1 is none", 1, 1, {}, "Frag Shells", 0},
      {"built-in 8 is none", 1, 8, {}, "Frag Shells", 0},
      {"no second cannon on a built-in one", 1, 2, {}, "Cannon", 0},
      {"a cannon beside built-in 8", 1, 8, {}, "Cannon", 1},
      {"a second shield", 1, 0, {"Shield"}, "Shield", 0},
      {"second frag shells", 1, 0, {"Cannon", "Frag Shells"}, "Frag Shells", 1},
      {"a second reserve power", 1, 0, {"Reserve Power"}, "Reserve Power", 1},
      {"stealth on chassis 3", 3, 0, {}, "Stealth", 0},
      {"cloak on chassis 3", 3, 0, {}, "Cloak", 0},
      {"stealth elsewhere", 2, 0, {}, "Stealth", 1},
      {"phase multiplier needs a laser", 1, 0, {}, "Phase Multiplier", 0},
      {"phase multiplier with a laser", 1, 0, {"Mark II Laser"}, "Phase Multiplier", 1},
      {"phase multiplier on a built-in laser", 1, 4, {}, "Phase Multiplier", 1},
      {"a second missile", 1, 0, {"Missile Launcher", "Flash Missile"}, "Guided Missile", 1},
      {"a third missile",
       1,
       0,
       {"Missile Launcher", "Flash Missile", "Guided Missile"},
       "Phoenix Missile",
       0},
      {"a fourth missile, launcher built in",
       1,
       7,
       {"Missile Launcher", "Flash Missile", "Guided Missile", "Phoenix Missile"},
       "Flash Missile",
       1},
      {"a fifth missile, launcher built in",
       1,
       7,
       {"Missile Launcher", "Flash Missile", "Guided Missile", "Phoenix Missile", "Flash Missile"},
       "Flash Missile",
       0},
      {"the empty module always", 3, 0, {}, " ", 1},
  };
  for (const auto& c : cases) {
    screen_.GetLoadout().fill(0);
    screen_.SetChassis(c.chassis);
    SetRow(BuiltInWeaponRow(c.chassis), c.builtInWeapon);
    Fit(c.fitted);
    EXPECT_EQ(CanPlaceNext(c.module), c.expected) << c.what;
    SetRow(BuiltInWeaponRow(c.chassis), 0);
  }
}

TEST_F(PlacementRulesTest, BaysAddUpAgainstTheChassisAndAModuleOfNoBaysNeverFits) {
  SetRow(kChassisCatalogue[1].baysRow, 6);
  SetRow(BaysRow("Shield"), 2);
  SetRow(BaysRow("Cannon"), 2);
  SetRow(BaysRow("Infra-red"), 1);
  SetRow(BaysRow("Mark I Laser"), 2);
  SetRow(BaysRow("Stealth"), 1);
  Fit({"Shield", "Cannon", "Infra-red"});
  EXPECT_EQ(CanPlaceNext("Mark I Laser"), 0);
  EXPECT_EQ(CanPlaceNext("Stealth"), 1);
  // In the bay of the 2-bay shield, the laser's 2 bays replace the shield's.
  EXPECT_EQ(screen_.CanPlaceModule(Slot("Mark I Laser"), 0), 1);

  SetRow(BaysRow("Cloak"), 0);
  screen_.GetLoadout().fill(0);
  EXPECT_EQ(CanPlaceNext("Cloak"), 0);
}

TEST_F(PlacementRulesTest, ReconCaptureOnlyWhileAllowedAndEmptySlotsNever) {
  EXPECT_EQ(CanPlaceNext("Recon Capture"), 1);
  screen_.SetReconCaptureAllowed(false);
  EXPECT_EQ(CanPlaceNext("Recon Capture"), 0);
  for (const int slot : {9, 10, 38, 40, 44, 45, 200, -1}) {
    EXPECT_EQ(screen_.CanPlaceModule(slot, 0), 0) << slot;
  }
}

TEST_F(PlacementRulesTest, TheCheckEmptiesUntilNothingChangesThenCompacts) {
  // The boost sits after its shield, so the walk from the last entry keeps it the first time
  // and empties it only in the second walk, once the shield has gone.
  Fit({"Shield", "Shield Boost", "Missile Launcher", "Infra-red", "Flash Missile", "Mark I Laser",
       "Phase Multiplier"});
  screen_.GetLoadout()[9] = static_cast<std::uint32_t>(Slot("Rockets"));
  SetRow(BaysRow("Shield"), 0);
  SetRow(BaysRow("Missile Launcher"), 0);
  screen_.CheckLoadout();
  const Loadout expected = {static_cast<std::uint32_t>(Slot("Infra-red")),
                            static_cast<std::uint32_t>(Slot("Mark I Laser")),
                            static_cast<std::uint32_t>(Slot("Phase Multiplier")),
                            static_cast<std::uint32_t>(Slot("Rockets"))};
  EXPECT_EQ(screen_.GetLoadout(), expected);
  EXPECT_EQ(screen_.GetCurrentBay(), 4);

  // Nothing left to take: a full loadout's current bay is 0.
  screen_.GetLoadout().fill(static_cast<std::uint32_t>(Slot("Rockets")));
  screen_.CheckLoadout();
  EXPECT_EQ(screen_.GetCurrentBay(), 0);
}

TEST_F(PlacementRulesTest, OnOpeningTheCurrentBayFollowsItsEntry) {
  screen_.GetLoadout()[3] = static_cast<std::uint32_t>(Slot("Shield"));
  screen_.GetLoadout()[7] = static_cast<std::uint32_t>(Slot("Cannon"));
  screen_.SetCurrentBay(7);
  screen_.CheckLoadout(true);
  EXPECT_EQ(screen_.GetCurrentBay(), 1);
  screen_.SetCurrentBay(12);
  screen_.CheckLoadout(true);
  EXPECT_EQ(screen_.GetCurrentBay(), 12);
}

TEST_F(PlacementRulesTest, TheClosedLoadoutCarriesTheIntegratedModulesAndTheBuiltInWeapon) {
  const struct {
    int chassis;
    int builtInWeapon;
    int fitted;
    std::initializer_list<int> added;
  } cases[] = {
      {3, 0, 2, {kStealthSlot, kCloakSlot}},
      {3, 7, 2, {kStealthSlot, kCloakSlot, 20}},
      {1, 3, 2, {15}},
      {1, 1, 2, {}},
      {3, 6, 13, {kStealthSlot, kCloakSlot}},
      {3, 6, 15, {}},
  };
  for (const auto& c : cases) {
    screen_.SetChassis(c.chassis);
    SetRow(BuiltInWeaponRow(c.chassis), c.builtInWeapon);
    Loadout& loadout = screen_.GetLoadout();
    loadout.fill(0);
    std::fill(loadout.begin(), loadout.begin() + c.fitted,
              static_cast<std::uint32_t>(Slot("Rockets")));
    screen_.CompleteLoadout();
    EXPECT_EQ(screen_.GetLoadoutCount(), c.fitted);
    Loadout expected{};
    std::fill(expected.begin(), expected.begin() + c.fitted,
              static_cast<std::uint32_t>(Slot("Rockets")));
    int entry = c.fitted;
    for (const int slot : c.added) {
      expected[static_cast<std::size_t>(entry++)] = static_cast<std::uint32_t>(slot);
    }
    EXPECT_EQ(loadout, expected) << c.chassis << " " << c.builtInWeapon << " " << c.fitted;
    SetRow(BuiltInWeaponRow(c.chassis), 0);
  }
}

}  // namespace
