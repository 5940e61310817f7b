#include "battle/core/game_params.h"

#include <gtest/gtest.h>

#include <bit>
#include <iterator>
#include <string>

namespace {

// Restores the defaults after each test: the tables are globals of the library.
class GameParamsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    InitGameParams();
    InitArenaParams();
  }
};

// Every row of a constexpr table lands in its row, confirmed; every other row is unused.
template <std::size_t Rows, std::size_t Defaults>
void ExpectFilledFrom(const std::array<CParam, Rows>& table,
                      const std::array<ParamDefault, Defaults>& defaults) {
  std::array<const ParamDefault*, Rows> expected{};
  for (const ParamDefault& row : defaults) {
    expected[row.row] = &row;
  }
  for (std::size_t row = 0; row < Rows; ++row) {
    SCOPED_TRACE(row);
    const CParam& param = table[row];
    EXPECT_EQ(param.modified, 0u);
    EXPECT_EQ(param.savedValue, param.value);
    if (expected[row] == nullptr) {
      EXPECT_EQ(param.type, PARAM_TYPE_UNUSED);
      EXPECT_EQ(param.name, nullptr);
      EXPECT_EQ(param.value, 0u);
    } else {
      EXPECT_EQ(param.type, expected[row]->type);
      EXPECT_STREQ(param.name, expected[row]->name);
      EXPECT_EQ(param.value, expected[row]->word);
    }
  }
}

// Every load of the library starts from the defaults, whatever the previous game wrote.
TEST_F(GameParamsTest, InitialisersFillEveryRowFromItsTable) {
  GameParamTable[PARAM_DEATH_RESTART_TIME].SetConfirmed(1);
  GameParamTable[60].SetConfirmed(5);  // the login writes unused rows too
  GameParamTable[PARAM_RADAR_RANGE_LONG].SetEdited(7);
  ArenaParamTable[ARENA_PARAM_DATA_VERSION_NUMBER].SetConfirmed(0xFFFFFFFFu);
  ArenaParamTable[101].SetConfirmed(3);
  InitGameParams();
  InitArenaParams();
  ExpectFilledFrom(GameParamTable, kGameParamDefaults);
  ExpectFilledFrom(ArenaParamTable, kArenaParamDefaults);
}

// Readers see a row as its type says: an integer, or the float whose bits it holds.
TEST_F(GameParamsTest, RowsReadAsTheirType) {
  EXPECT_EQ(GetGameParamFloat(PARAM_ZONE_0_MAX_TIME_BETWEEN_TANK_MOVES), 2.0f);
  EXPECT_EQ(GetGameParamInt(PARAM_ZONE_0_MAX_FRAMES_BETWEEN_TANK_MOVES), 100);
  GameParamTable[PARAM_RADAR_RANGE_LONG].SetConfirmed(std::bit_cast<std::uint32_t>(-2.5f));
  EXPECT_EQ(GetGameParamFloat(PARAM_RADAR_RANGE_LONG), -2.5f);
  GameParamTable[PARAM_DEATH_RESTART_TIME].SetConfirmed(0xFFFFFFFEu);
  EXPECT_EQ(GetGameParamInt(PARAM_DEATH_RESTART_TIME), -2);
}

// Readers of a chassis's figure add the chassis index to the group's first row, or 10 times the
// index to the first chassis's block; every such row must name that chassis.
TEST_F(GameParamsTest, ChassisRowsFollowTheChassisOrder) {
  const char* const chassis[] = {"Dizuroruv", "Rivavaru", "Voredoveva", "Vodidorir", "VarAzaru"};
  const std::size_t groups[] = {
      PARAM_DIZURORUV_DRONE_CHARGE_RATE,
      PARAM_DIZURORUV_MOVE_DRAIN_RATE,
      PARAM_DIZURORUV_DEFAULT_WEAPON,
      PARAM_DIZURORUV_HORIZONTAL_TURRET_FACTOR,
      PARAM_DIZURORUV_SHIELD_MIN_DOWN_TIME,
      PARAM_DIZURORUV_SHIELD_CHARGE_RATE,
      PARAM_DIZURORUV_BOOST_DRAIN,
      PARAM_DIZURORUV_MAX_FORWARD_THRUST,
      PARAM_DIZURORUV_MASS,
      PARAM_DIZURORUV_DRIVE_DRAG_CONSTANT,
  };
  const auto names = [](std::size_t row, const char* chassis) {
    const char* name = GameParamTable[row].name;
    return name != nullptr && std::string(name).find(chassis) != std::string::npos;
  };
  for (std::size_t c = 0; c < std::size(chassis); ++c) {
    SCOPED_TRACE(chassis[c]);
    for (std::size_t figure = 0; figure < 10; ++figure) {
      const std::size_t row = PARAM_DIZURORUV_BAYS + 10 * c + figure;
      EXPECT_TRUE(names(row, chassis[c])) << row;
    }
    for (const std::size_t group : groups) {
      EXPECT_TRUE(names(group + c, chassis[c])) << group + c;
    }
  }
}

TEST_F(GameParamsTest, RowsAreWrittenConfirmedOrEdited) {
  const CParam unused;
  EXPECT_EQ(unused.type, PARAM_TYPE_UNUSED);
  EXPECT_EQ(unused.modified, 0u);

  CParam row(IntegerParam(PARAM_MARK_I_DAMAGE, "!Mark I Damage", -3));
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

}  // namespace
