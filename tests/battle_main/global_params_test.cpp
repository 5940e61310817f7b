#include "battle/core/global_params.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "base/byte_writer.h"
#include "battle/main/game_session.h"

namespace {

constexpr std::size_t WORDS = GLOBAL_PARAMS_SIZE / 4;

// The float words of the record carry distinct floats; every other word is distinct and its
// low byte is its index.
std::uint32_t CraftedWord(std::size_t index) {
  switch (index) {
    case 1:
      return std::bit_cast<std::uint32_t>(750.0f);
    case 2:
      return std::bit_cast<std::uint32_t>(300.0f);
    case 3:
      return std::bit_cast<std::uint32_t>(-12.5f);
    case 10:
      return std::bit_cast<std::uint32_t>(175.0f);
    default:
      return 0xA5000000u | static_cast<std::uint32_t>(index) << 8 |
             static_cast<std::uint32_t>(index);
  }
}

std::vector<std::uint8_t> CraftedPayload() {
  arena::ByteWriter payload;
  for (std::size_t i = 0; i < WORDS; ++i) {
    payload.U32(CraftedWord(i));
  }
  return payload.Take();
}

void SetWord(std::vector<std::uint8_t>& payload, std::size_t index, std::uint32_t word) {
  arena::ByteWriter writer(std::move(payload));
  writer.PatchU32(index * 4, word);
  payload = writer.Take();
}

// Puts the globals back to their state at load.
// Other tests of this program start worlds whose parameters change the globals: each test here
// starts from, and leaves, the values the library starts with.
class GlobalParamsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobals(); }
  void TearDown() override { ResetGlobals(); }

  static void ResetGlobals() {
    gFarDistance = 500.0f;
    gWorldCeiling = 0.0f;
    gGravity = 0.0f;
    gDefenseRange = 0.0f;
  }
};

TEST_F(GlobalParamsTest, RecordIsReadWordByWord) {
  const auto payload = CraftedPayload();
  ASSERT_EQ(payload.size(), 284u);
  const std::optional<GlobalParams> record = ParseGlobalParams(payload);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->stateReportInterval, CraftedWord(0));
  EXPECT_EQ(record->farDistance, 750.0f);
  EXPECT_EQ(record->worldCeiling, 300.0f);
  EXPECT_EQ(record->gravity, -12.5f);
  EXPECT_EQ(record->defenseRange, 175.0f);
  for (std::size_t i = 0; i < SKY_PARAM_WORDS; ++i) {
    EXPECT_EQ(record->skyWords[i], CraftedWord(11 + i)) << i;
  }
  for (std::size_t k = 0; k < SKY_COLOUR_GROUPS; ++k) {
    SCOPED_TRACE(k);
    const SkyColourGroup& group = record->colourGroups[k];
    const std::size_t first = 24 + 6 * k;
    EXPECT_EQ(group.colour[0], first);
    EXPECT_EQ(group.colour[1], first + 1);
    EXPECT_EQ(group.colour[2], first + 2);
    EXPECT_EQ(group.words[0], CraftedWord(first + 3));
    EXPECT_EQ(group.words[1], CraftedWord(first + 4));
    if (k < 7) {
      EXPECT_EQ(group.words[2], CraftedWord(first + 5));
    }
  }
  // The last group ends with words 69 and 70, the end of the record.
  EXPECT_EQ(record->colourGroups[7].words[0], CraftedWord(69));
  EXPECT_EQ(record->colourGroups[7].words[1], CraftedWord(70));
}

TEST_F(GlobalParamsTest, ApplySpreadsTheRecordOverSessionAndGlobals) {
  GlobalParamValues values;
  values.colourGroups[7].words[2] = 0x5EED5EEDu;
  ASSERT_TRUE(ApplyGlobalParams(values, CraftedPayload()));

  EXPECT_EQ(values.stateReportInterval, CraftedWord(0));
  EXPECT_EQ(gFarDistance, 750.0f);
  EXPECT_EQ(gWorldCeiling, 300.0f - 0.05f);
  EXPECT_EQ(gGravity, -12.5f);
  EXPECT_EQ(gDefenseRange, 175.0f);
  EXPECT_EQ(values.skyWords[0], CraftedWord(11));
  EXPECT_EQ(values.skyWords[12], CraftedWord(23));
  EXPECT_EQ(values.colourGroups[0].colour[0], 24);
  EXPECT_EQ(values.colourGroups[0].words[2], CraftedWord(29));
  EXPECT_EQ(values.colourGroups[7].colour[2], 68);
  EXPECT_EQ(values.colourGroups[7].words[1], CraftedWord(70));
  // Past the end of the record: kept.
  EXPECT_EQ(values.colourGroups[7].words[2], 0x5EED5EEDu);
}

TEST_F(GlobalParamsTest, CeilingIsTheSentValueLessFiveHundredths) {
  auto payload = CraftedPayload();
  SetWord(payload, 2, std::bit_cast<std::uint32_t>(500.0f));
  GlobalParamValues values;
  ASSERT_TRUE(ApplyGlobalParams(values, payload));
  EXPECT_EQ(gWorldCeiling, 499.95f);
}

TEST_F(GlobalParamsTest, LongerRecordsAreReadForTheirFirst284Bytes) {
  auto payload = CraftedPayload();
  payload.resize(GLOBAL_PARAMS_SIZE + 9, 0x11);
  const auto record = ParseGlobalParams(payload);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->stateReportInterval, CraftedWord(0));
  EXPECT_EQ(record->colourGroups[7].words[1], CraftedWord(70));
  GlobalParamValues values;
  ASSERT_TRUE(ApplyGlobalParams(values, payload));
  EXPECT_EQ(gDefenseRange, 175.0f);
}

TEST_F(GlobalParamsTest, ShorterRecordsChangeNothing) {
  const auto good = CraftedPayload();
  for (std::size_t size : {std::size_t{0}, std::size_t{4}, std::size_t{280}, std::size_t{283}}) {
    SCOPED_TRACE(size);
    std::vector<std::uint8_t> payload(good);
    payload.resize(size, 0x11);
    EXPECT_FALSE(ParseGlobalParams(payload));
    GlobalParamValues values;
    values.stateReportInterval = 77;
    EXPECT_FALSE(ApplyGlobalParams(values, payload));
    EXPECT_EQ(values.stateReportInterval, 77u);
    EXPECT_EQ(gFarDistance, 500.0f);
    EXPECT_EQ(gWorldCeiling, 0.0f);
    EXPECT_EQ(gGravity, 0.0f);
    EXPECT_EQ(gDefenseRange, 0.0f);
  }
}

TEST_F(GlobalParamsTest, TheSessionStartsTheDayClockAndTheWeatherOver) {
  SkyState& sky = gGameSession.atmosphere.Sky();
  sky.dayClock = 5000;
  sky.weatherLevel = 0.5f;
  // Word 14: the moon's orbit period.
  auto payload = CraftedPayload();
  SetWord(payload, 14, 4000);
  EXPECT_FALSE(gGameSession.ApplyGlobalParams(std::span(payload).first(GLOBAL_PARAMS_SIZE - 1)));
  EXPECT_EQ(sky.dayClock, 5000u);
  EXPECT_EQ(sky.weatherLevel, 0.5f);
  ASSERT_TRUE(gGameSession.ApplyGlobalParams(payload));
  EXPECT_EQ(sky.dayClock, 0u);
  EXPECT_EQ(sky.weatherLevel, 0.0f);
  EXPECT_EQ(sky.moonOrbitPeriod, 4000u);
}

}  // namespace
