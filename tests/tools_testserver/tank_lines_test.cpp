#include "tools/testserver/tank_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <variant>

#include "base/byte_reader.h"
#include "battle/arena/tank_records.h"
#include "common/messages.h"
#include "tools/testserver/script.h"

namespace testserver {
namespace {

std::vector<std::uint8_t> Payload(const Action& action) {
  return BuildPayload(action.payload, PayloadSources{{}, {}, 0});
}

Script Parse(const std::string& text) {
  auto parsed = ParseScript(text);
  EXPECT_TRUE(std::holds_alternative<Script>(parsed))
      << DescribeError(std::get<ScriptError>(parsed));
  return std::holds_alternative<Script>(parsed) ? std::get<Script>(parsed) : Script{};
}

// The records the server writes are the ones the client's tank reads.
TEST(TankLines, ACreatedTankIsReadBackByTheClientsRecord) {
  const Script script =
      Parse("at 10 after MSG_SYSTEM_INFO tank_create 5 2 1 \"Ann\" 100 50 1.5 64");
  ASSERT_EQ(script.steps.size(), 1u);
  const ScriptStep& step = script.steps[0];
  EXPECT_EQ(step.atMs, 10u);
  EXPECT_EQ(step.afterType, MSG_SYSTEM_INFO);
  EXPECT_EQ(step.action.kind, Action::Kind::kTcp);
  EXPECT_EQ(step.action.address, kSessionAddress);
  EXPECT_EQ(step.action.type, MSG_CREATE_TANK);
  const std::optional<TankCreateRecord> record = ParseTankCreateRecord(Payload(step.action));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->id, KIND_TANK | 5);
  EXPECT_EQ(record->chassis, 2u);
  EXPECT_EQ(record->team, 1u);
  EXPECT_EQ(record->name, "Ann");
  EXPECT_EQ(record->position[0], 100.0f);
  EXPECT_EQ(record->position[2], 1.5f);
  EXPECT_EQ(record->angles[0], 64.0f);
}

// The player's own tank: the same record under the message that creates the client's tank.
TEST(TankLines, ThePlayersTankIsCreatedWithItsOwnMessage) {
  const Script script = Parse("at 0 player_tank_create 9 1 3 \"Me\" 200 210 1 32");
  ASSERT_EQ(script.steps.size(), 1u);
  EXPECT_EQ(script.steps[0].action.address, kSessionAddress);
  EXPECT_EQ(script.steps[0].action.type, MSG_CREATE_PLAYER_TANK);
  const std::optional<TankCreateRecord> record =
      ParseTankCreateRecord(Payload(script.steps[0].action));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->id, KIND_TANK | 9);
  EXPECT_EQ(record->team, 3u);
  EXPECT_EQ(record->name, "Me");
  EXPECT_EQ(record->position[1], 210.0f);
  EXPECT_EQ(record->angles[0], 32.0f);
}

TEST(TankLines, ADriveIsAStreamOfStatesAlongThePath) {
  const Script script = Parse("at 100 tank_drive 5 30 10 0 0 1 20 0 1 20 10 1");
  // 20 units and 10 units at 10 a second, 30 states a second, and the last one standing.
  ASSERT_EQ(script.steps.size(), 60u + 30u + 1u);
  TankStateRecord record{};
  for (std::size_t i = 0; i < script.steps.size(); ++i) {
    const ScriptStep& step = script.steps[i];
    EXPECT_EQ(step.action.kind, Action::Kind::kUdp);
    EXPECT_EQ(step.action.address, KIND_TANK | 5);
    EXPECT_EQ(step.action.type, MSG_TANK_STATE);
    const std::vector<std::uint8_t> bytes = Payload(step.action);
    ASSERT_EQ(bytes.size(), kTankStateRecordSize);
    EXPECT_NEAR(static_cast<double>(step.atMs), 100.0 + 1000.0 * static_cast<double>(i) / 30.0,
                1.5);
    std::copy(bytes.begin(), bytes.end(), record.begin());
    const TankState state = ReadTankState(record);
    if (i == 30) {
      EXPECT_NEAR(state.position[0], 10.0f, 0.1f);
      EXPECT_EQ(state.momentum[0], 10.0f);
      EXPECT_EQ(state.angles[0], 0.0f);
    }
    if (i == 75) {
      EXPECT_NEAR(state.position[1], 5.0f, 0.1f);
      EXPECT_EQ(state.momentum[1], 10.0f);
      EXPECT_EQ(state.angles[0], 128.0f);
    }
  }
  EXPECT_EQ(ReadTankState(record).position[1], 10.0f);
  EXPECT_EQ(ReadTankState(record).momentum[1], 0.0f);
}

TEST(TankLines, FireAndRemove) {
  const Script script = Parse("at 0 tank_fire 5 10 1 2 3 4 5\nat 5 tank_remove 5");
  ASSERT_EQ(script.steps.size(), 2u);
  EXPECT_EQ(script.steps[0].action.type, MSG_TANK_FIRE);
  const std::vector<std::uint8_t> fire = Payload(script.steps[0].action);
  arena::ByteReader reader(fire);
  EXPECT_EQ(reader.F32(), 1.0f);
  reader.Skip(12);
  EXPECT_EQ(reader.F32(), 5.0f);
  EXPECT_EQ(reader.U32(), 10u);
  EXPECT_EQ(fire.size(), 24u);
  EXPECT_EQ(script.steps[1].action.type, MSG_REMOVE_TANK);
  EXPECT_EQ(arena::ByteReader(Payload(script.steps[1].action)).U32(), KIND_TANK | 5);
}

TEST(TankLines, BadLinesNameTheirLine) {
  for (const char* text : {"at 0 tank_create 5 2 1 Ann 1 2 3 4", "at 0 tank_drive 5 30 10 0 0 1",
                           "at 0 tank_drive 5 0 10 0 0 1 5 5 1", "at 0 tank_fire 5 10 1 2",
                           "at 0 tank_remove", "at 0 tank_remove 10000"}) {
    auto parsed = ParseScript(std::string("at 0 tcp KIND_SESSION MSG_QUIT\n") + text);
    ASSERT_TRUE(std::holds_alternative<ScriptError>(parsed)) << text;
    EXPECT_EQ(std::get<ScriptError>(parsed).line, 2u) << text;
  }
}

}  // namespace
}  // namespace testserver
