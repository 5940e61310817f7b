#include "battle/main/game_params.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <optional>

namespace {

// Restores the defaults after each test: the tables are globals of the library.
class GameParamsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    InitGameParams();
    InitArenaParams();
  }
};

struct RowCase {
  std::size_t row;
  std::uint32_t type;
  const char* name;                    // null for an unused row
  std::optional<std::uint32_t> value;  // a default the game relies on
};

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

void ExpectRow(const CParam& param, const RowCase& c) {
  SCOPED_TRACE(c.row);
  EXPECT_EQ(param.type, c.type);
  EXPECT_EQ(param.modified, 0u);
  if (c.name == nullptr) {
    EXPECT_EQ(param.name, nullptr);
  } else {
    ASSERT_NE(param.name, nullptr);
    EXPECT_STREQ(param.name, c.name);
  }
  if (c.value) {
    EXPECT_EQ(param.value, *c.value);
  }
  EXPECT_EQ(param.savedValue, param.value);
}

TEST_F(GameParamsTest, GameRowsHaveTheirNamesTypesAndDefaults) {
  const RowCase cases[] = {
      {0, PARAM_TYPE_INTEGER, "Data Version Number", 960},
      {1, PARAM_TYPE_INTEGER, "!Death Restart Time", 6000},
      {4, PARAM_TYPE_FLOAT, "Targeting Range", std::nullopt},
      {9, PARAM_TYPE_FLOAT, "!Radar Range Long", Bits(1000.0f)},
      {60, PARAM_TYPE_UNUSED, nullptr, 0},
      {61, PARAM_TYPE_INTEGER, "#Empty Bays (=1, don't change!)", 1},
      {66, PARAM_TYPE_INTEGER, "!Front/Back Downtime Link (0=none))", std::nullopt},
      {68, PARAM_TYPE_INTEGER, "Logout Timer (sec.)", 5},
      {152, PARAM_TYPE_UNUSED, nullptr, 0},
      {170, PARAM_TYPE_FLOAT, "!Rocket Drain per 200 mil", std::nullopt},
      {211, PARAM_TYPE_INTEGER, "Drone Charge Radius", std::nullopt},
      {249, PARAM_TYPE_INTEGER, "!AP -1 Damage Duration", std::nullopt},
      {298, PARAM_TYPE_INTEGER, "!Shield Millile Flash Damage %", std::nullopt},
      {299, PARAM_TYPE_UNUSED, nullptr, 0},
      {340, PARAM_TYPE_UNUSED, nullptr, 0},
      {351, PARAM_TYPE_FLOAT, "TessellationMultiPolygon", std::nullopt},
      {352, PARAM_TYPE_FLOAT, "Light & Tessellation", std::nullopt},
      {410, PARAM_TYPE_FLOAT, "#Downward Force of Gravity", Bits(40.0f)},
      {455, PARAM_TYPE_FLOAT, "!Dizuroruv  Max Forward Thrust", Bits(39.0f)},
      {456, PARAM_TYPE_FLOAT, "!Rivavaru   Max Forward Thrust", Bits(62.5f)},
      {457, PARAM_TYPE_FLOAT, "!Voredoveva Max Forward Thrust", Bits(89.5f)},
      {458, PARAM_TYPE_FLOAT, "!Vodidorir  Max Forward Thrust", Bits(40.0f)},
      {459, PARAM_TYPE_FLOAT, "!VarAzaru   Max Forward Thrust", Bits(54.0f)},
      {499, PARAM_TYPE_FLOAT, "!VarAzaru   Drive Drag Constant", std::nullopt},
  };
  for (const RowCase& c : cases) {
    ExpectRow(GameParamTable[c.row], c);
  }
}

TEST_F(GameParamsTest, GameTableHasItsCountsOfRowTypes) {
  std::size_t counts[3] = {};
  for (const CParam& param : GameParamTable) {
    ASSERT_LE(param.type, PARAM_TYPE_FLOAT);
    ++counts[param.type];
    EXPECT_EQ(param.name == nullptr, param.type == PARAM_TYPE_UNUSED);
  }
  EXPECT_EQ(counts[PARAM_TYPE_UNUSED], 52u);
  EXPECT_EQ(counts[PARAM_TYPE_INTEGER], 228u);
  EXPECT_EQ(counts[PARAM_TYPE_FLOAT], 220u);
}

// A float row holds a float's bits, not an integer: the bits of any plausible integer default
// would read as a subnormal float.
TEST_F(GameParamsTest, FloatRowsHoldFloatBits) {
  for (std::size_t row = 0; row < GAME_PARAM_COUNT; ++row) {
    const CParam& param = GameParamTable[row];
    if (param.type != PARAM_TYPE_FLOAT) {
      continue;
    }
    SCOPED_TRACE(param.name);
    const float value = param.GetFloat();
    EXPECT_TRUE(value == 0.0f || std::isnormal(value));
  }
  EXPECT_EQ(GetGameParamFloat(PARAM_ZONE_0_MAX_TIME_BETWEEN_TANK_MOVES), 2.0f);
  EXPECT_EQ(GetGameParamInt(PARAM_ZONE_0_MAX_FRAMES_BETWEEN_TANK_MOVES), 100);
}

TEST_F(GameParamsTest, RowConstantsNameTheirRows) {
  const struct {
    std::size_t constant;
    std::size_t row;
    const char* name;
  } cases[] = {
      {PARAM_DATA_VERSION_NUMBER, 0, "Data Version Number"},
      {PARAM_DIZURORUV_BAYS, 10, "#Dizuroruv Bays"},
      {PARAM_VARAZARU_LINK_MASS, 59, "#VarAzaru Link Mass"},
      {PARAM_EMPTY_BAYS, 61, "#Empty Bays (=1, don't change!)"},
      {PARAM_SUPERCHARGED_BATTERY_PERCENT, 71, "#SuperCharged Battery %"},
      {PARAM_DEFENSE_FIRE_RATE, 96, "!Defense Fire Rate"},
      {PARAM_TANK_LAZER_SPEED, 98, "!Tank Lazer Speed"},
      {PARAM_MISSILE_PACKS_PER_LAUNCHER, 119, "#Missile Packs/Launcher"},
      {PARAM_POWER_RECEIVER_CHARGE_RADIUS, 159, "!Power Receiver Charge Radius"},
      {PARAM_CHAIN_GUN_DURATION, 269, "!Chaingun Duration"},
      {PARAM_SHIELD_MISSILE_FLASH_DAMAGE_PERCENT, 298, "!Shield Millile Flash Damage %"},
      {PARAM_ZONE_3_MAX_TIME_BETWEEN_TANK_MOVES, 327, "!Zone 3 Max Time Between Tank Moves"},
      {PARAM_LIGHT_INTENSITY_HIGH, 354, "Light Intensity High"},
      {PARAM_DOWNWARD_FORCE_OF_GRAVITY, 410, "#Downward Force of Gravity"},
      {PARAM_PROXIMITY_HIT_ROCKING_IMPULSE, 454, "!Proximity Hit Rocking Impulse"},
      {PARAM_DIZURORUV_MASS, 475, "!Dizuroruv  Mass"},
      {PARAM_VARAZARU_DRIVE_DRAG_CONSTANT, 499, "!VarAzaru   Drive Drag Constant"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.constant, c.row);
    EXPECT_STREQ(GameParamTable[c.constant].name, c.name);
  }
  // A chassis's row is its group's first row plus the chassis index.
  EXPECT_STREQ(GameParamTable[PARAM_DIZURORUV_MASS + 4].name, "!VarAzaru   Mass");
  EXPECT_STREQ(GameParamTable[PARAM_DIZURORUV_BATTERY + 10 * 2].name, "#Voredoveva Battery");
}

TEST_F(GameParamsTest, ArenaRowsHaveTheirNamesTypesAndDefaults) {
  const RowCase cases[] = {
      {0, PARAM_TYPE_INTEGER, "Data Version Number", 0},
      {1, PARAM_TYPE_INTEGER, "Update Frequency", 0},
      {2, PARAM_TYPE_FLOAT, "Yon", Bits(0.0f)},
      {6, PARAM_TYPE_INTEGER, "Day Duration", 10},
      {13, PARAM_TYPE_FLOAT, "Fog_Hither", Bits(0.0f)},
      {23, PARAM_TYPE_FLOAT, "ReconGun Attack Range", Bits(200.0f)},
      {24, PARAM_TYPE_INTEGER, "Update Cycle Time\t", 200},
      {26, PARAM_TYPE_FLOAT, "Update Cycle Range 1", Bits(0.5f)},
      {46, PARAM_TYPE_FLOAT, "Far Cloudlayer Velocity", Bits(0.0005f)},
      {48, PARAM_TYPE_FLOAT, "Lensflare 1 Distance", Bits(-0.2f)},
      {77, PARAM_TYPE_INTEGER, "Lensflare 6 Type", 1},
      {90, PARAM_TYPE_FLOAT, "Lensflare 8 Distance", Bits(1.15f)},
      {96, PARAM_TYPE_FLOAT, "LensflareFogScale", Bits(1.5f)},
      {99, PARAM_TYPE_INTEGER, "InitialTOD", 2},
      {100, PARAM_TYPE_UNUSED, nullptr, 0},
      {101, PARAM_TYPE_UNUSED, nullptr, 0},
      {102, PARAM_TYPE_UNUSED, nullptr, 0},
      {103, PARAM_TYPE_UNUSED, nullptr, 0},
  };
  for (const RowCase& c : cases) {
    ExpectRow(ArenaParamTable[c.row], c);
  }
  for (std::size_t row = 0; row < ARENA_PARAM_FIRST_SENT + ARENA_PARAM_SENT_COUNT; ++row) {
    EXPECT_NE(ArenaParamTable[row].type, PARAM_TYPE_UNUSED) << row;
  }
}

TEST_F(GameParamsTest, RowsAreWrittenConfirmedOrEdited) {
  const CParam unused;
  EXPECT_EQ(unused.type, PARAM_TYPE_UNUSED);
  EXPECT_EQ(unused.modified, 0u);

  CParam row("!Mark I Damage", -3);
  EXPECT_EQ(row.type, PARAM_TYPE_INTEGER);
  EXPECT_EQ(row.GetInt(), -3);
  EXPECT_EQ(row.savedValue, row.value);

  row.SetEdited(7);
  EXPECT_EQ(row.value, 7u);
  EXPECT_EQ(row.savedValue, 0xFFFFFFFDu);
  EXPECT_EQ(row.modified, 1u);
  row.Restore();
  EXPECT_EQ(row.GetInt(), -3);
  EXPECT_EQ(row.modified, 0u);

  row.SetEdited(9);
  row.SetConfirmed(11);
  EXPECT_EQ(row.value, 11u);
  EXPECT_EQ(row.savedValue, 11u);
  EXPECT_EQ(row.modified, 0u);
}

// Every load of the library starts from the defaults, whatever the previous game wrote.
TEST_F(GameParamsTest, InitialisersRestoreTheDefaults) {
  GameParamTable[PARAM_DEATH_RESTART_TIME].SetConfirmed(1);
  GameParamTable[60].SetConfirmed(5);  // the login writes unused rows too
  ArenaParamTable[ARENA_PARAM_DATA_VERSION_NUMBER].SetConfirmed(0xFFFFFFFFu);
  InitGameParams();
  InitArenaParams();
  EXPECT_EQ(GetGameParamInt(PARAM_DEATH_RESTART_TIME), 6000);
  EXPECT_EQ(GameParamTable[60].value, 0u);
  EXPECT_EQ(ArenaParamTable[ARENA_PARAM_DATA_VERSION_NUMBER].value, 0u);
}

}  // namespace
