// The test server's parameters: the client's own defaults, which let every chassis drive, fire and
// be hit.
#include "tools/testserver/server_params.h"

#include <gtest/gtest.h>

#include <bit>

#include "battle/core/game_params.h"
#include "battle/core/global_params.h"

namespace {

float AsFloat(std::uint32_t word) { return std::bit_cast<float>(word); }

// The server sends the client's own defaults, unused rows as 0, so a game against it plays as
// the defaults do.
TEST(ServerParamsTest, ServerSendsTheClientDefaults) {
  InitGameParams();
  const auto words = MakeServerParamWords();
  for (std::size_t row = 0; row < GAME_PARAM_COUNT; ++row) {
    EXPECT_EQ(words[row], GameParamTable[row].value) << row;
    if (GameParamTable[row].type == PARAM_TYPE_UNUSED) {
      EXPECT_EQ(words[row], 0u) << row;
    }
  }
}

// Every chassis can drive (its thrust beats the constant drive drag), is armoured, and carries a
// built-in laser that does damage, fires and flies.
TEST(ServerParamsTest, EveryChassisCanDriveFireAndBeHit) {
  const auto words = MakeServerParamWords();
  for (std::size_t c = 0; c < 5; ++c) {
    SCOPED_TRACE(c);
    const float mass = AsFloat(words[PARAM_DIZURORUV_MASS + c]);
    EXPECT_GT(mass, 0.0001f);
    EXPECT_GT(AsFloat(words[PARAM_DIZURORUV_MOMENT_OF_INERTIA + c]), 0.0001f);
    EXPECT_GT(AsFloat(words[PARAM_DIZURORUV_MAX_FORWARD_THRUST + c]),
              AsFloat(words[PARAM_DIZURORUV_DRIVE_DRAG_CONSTANT + c]) * mass);
    EXPECT_GT(AsFloat(words[PARAM_DIZURORUV_MAX_REVERSE_THRUST + c]),
              AsFloat(words[PARAM_DIZURORUV_DRIVE_DRAG_CONSTANT + c]) * mass);
    EXPECT_GT(static_cast<std::int32_t>(words[PARAM_DIZURORUV_ARMOR + 10 * c]), 0);
    EXPECT_GT(static_cast<std::int32_t>(words[PARAM_DIZURORUV_BATTERY + 10 * c]), 0);
    const std::uint32_t weapon = words[PARAM_DIZURORUV_DEFAULT_WEAPON + c];
    ASSERT_TRUE(weapon == 3 || weapon == 4) << "a Mark I or Mark II laser";
    const std::size_t damage = weapon == 3 ? PARAM_MARK_I_DAMAGE : PARAM_MARK_II_DAMAGE;
    const std::size_t rate = weapon == 3 ? PARAM_MARK_I_FIRE_RATE : PARAM_MARK_II_FIRE_RATE;
    const std::size_t drain = weapon == 3 ? PARAM_MARK_I_DRAIN : PARAM_MARK_II_DRAIN;
    EXPECT_GT(static_cast<std::int32_t>(words[damage]), 0);
    EXPECT_GT(static_cast<std::int32_t>(words[rate]), 0);
    EXPECT_LT(AsFloat(words[drain]), static_cast<float>(words[PARAM_DIZURORUV_BATTERY + 10 * c]));
  }
  EXPECT_GT(AsFloat(words[PARAM_TANK_LAZER_SPEED]), 0.0f);
  EXPECT_GT(static_cast<std::int32_t>(words[PARAM_LAZER1_DURATION]), 0);
  EXPECT_GT(static_cast<std::int32_t>(words[PARAM_LAZER2_DURATION]), 0);
}

TEST(ServerParamsTest, GlobalParamsPayloadIsAPlausibleRecord) {
  const auto payload = MakeServerGlobalParamsPayload();
  ASSERT_EQ(payload.size(), GLOBAL_PARAMS_SIZE);
  const std::optional<GlobalParams> record = ParseGlobalParams(payload);
  ASSERT_TRUE(record);
  EXPECT_GT(record->stateReportInterval, 0u);
  EXPECT_EQ(record->farDistance, 500.0f);
  EXPECT_GT(record->worldCeiling, 33.0f);
  EXPECT_LT(record->gravity, 0.0f);
  EXPECT_GT(record->defenseRange, 0.0f);
  // The sun's orbit period leads the sky words; the last colour group carries the two fog scales.
  EXPECT_EQ(record->skyWords[0], 1440u);
  EXPECT_EQ(record->colourGroups[0].colour, (std::array<std::uint8_t, 3>{255, 255, 255}));
  EXPECT_EQ(AsFloat(record->colourGroups[7].words[0]), 1.2f);
  EXPECT_EQ(AsFloat(record->colourGroups[7].words[1]), 1.5f);
}

}  // namespace
