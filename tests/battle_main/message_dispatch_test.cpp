#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "battle/core/global_params.h"
#include "battle/core/log.h"
#include "battle/core/team_bases.h"
#include "battle/effects/atmosphere.h"
#include "battle/main/game_session.h"
#include "common/messages.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tests/support/word_payload.h"
#include "tools/testserver/server_params.h"

namespace {

class MessageDispatchTest : public testing::Test {
 protected:
  MessageDispatchTest() {
    OpenLog(logPath_.c_str());
    gTeamBases = {};
  }
  ~MessageDispatchTest() override {
    CloseLog();
    gGameSession.quitFlag = 0;
    gGameSession.syncPingPending = 0;
    gTeamBases = {};
    gGravity = savedGravity_;
    gGameSession.globalParams = {};
  }

  static void Post(std::uint32_t type, const std::vector<std::uint8_t>& payload) {
    CMailbox::PostAnonymous(kSessionAddress, type, static_cast<std::uint32_t>(payload.size()),
                            payload.data());
  }
  static std::vector<std::uint8_t> TeamBasePayload(std::uint32_t team, float x, float y, float z) {
    return test_support::WordPayload({team, std::bit_cast<std::uint32_t>(x),
                                      std::bit_cast<std::uint32_t>(y),
                                      std::bit_cast<std::uint32_t>(z)});
  }
  std::string Log() const { return test_support::ReadTestFile(logPath_); }

  test_support::ScratchFolder folder_{"dispatch"};
  const std::filesystem::path logPath_ = folder_.Path() / "arena.log";
  const float savedGravity_ = gGravity;
};

TEST_F(MessageDispatchTest, QuitSetsTheQuitFlagAndTheRestIsStillTaken) {
  Post(MSG_QUIT, {});
  Post(MSG_SYNC_PING, {});
  gGameSession.DispatchMessages();
  EXPECT_EQ(gGameSession.quitFlag, 1u);
  EXPECT_EQ(gGameSession.syncPingPending, 1u);
  EXPECT_EQ(gGameSession.Count(), 0u);
}

TEST_F(MessageDispatchTest, GravityTakesWordZeroAsAFloat) {
  Post(MSG_SET_GRAVITY, test_support::WordPayload({std::bit_cast<std::uint32_t>(-12.5f)}));
  gGameSession.DispatchMessages();
  EXPECT_EQ(gGravity, -12.5f);
}

TEST_F(MessageDispatchTest, GlobalParamsPassAppliesTheRecord) {
  const std::vector<std::uint8_t> record = MakeServerGlobalParamsPayload();
  Post(GLOBAL_PARAMS_PASS, record);
  gGameSession.DispatchMessages();
  EXPECT_EQ(gGameSession.globalParams.stateReportInterval, arena::ByteReader(record).U32());
}

TEST_F(MessageDispatchTest, TeamBaseIsStoredUnderItsTeamAndTheLaterOneWins) {
  Post(MSG_TEAM_BASE, TeamBasePayload(2, 1.0f, 2.0f, 3.0f));
  Post(MSG_TEAM_BASE, TeamBasePayload(3, 4.0f, 5.0f, 6.0f));
  Post(MSG_TEAM_BASE, TeamBasePayload(2, 7.0f, 8.0f, 9.0f));
  gGameSession.DispatchMessages();
  EXPECT_EQ(gTeamBases[2].team, 2u);
  EXPECT_EQ(gTeamBases[2].x, 7.0f);
  EXPECT_EQ(gTeamBases[2].y, 8.0f);
  EXPECT_EQ(gTeamBases[2].z, 9.0f);
  EXPECT_EQ(gTeamBases[3].x, 4.0f);
  EXPECT_EQ(gTeamBases[0].x, 0.0f);
}

// The table has four entries: any other team is logged and changes nothing.
TEST_F(MessageDispatchTest, TeamBaseOutsideTheFourTeamsIsIgnored) {
  Post(MSG_TEAM_BASE, TeamBasePayload(4, 1.0f, 1.0f, 1.0f));
  Post(MSG_TEAM_BASE, TeamBasePayload(0xFFFFFFFF, 1.0f, 1.0f, 1.0f));
  gGameSession.DispatchMessages();
  for (const TeamBase& base : gTeamBases) {
    EXPECT_EQ(base.x, 0.0f);
  }
  EXPECT_EQ(Log(),
            "00 team base for team 4 ignored: there are teams 0-3\n"
            "00 team base for team 4294967295 ignored: there are teams 0-3\n");
}

struct ShortMessage {
  std::uint32_t type;
  std::uint32_t length;
  std::uint32_t needed;
};

class ShortMessageTest : public MessageDispatchTest,
                         public testing::WithParamInterface<ShortMessage> {};

// Messages posted inside the client do not pass the network client's size gate; the session
// drops any that is shorter than what its handler reads, and says so.
TEST_P(ShortMessageTest, IsDroppedAndLogged) {
  const ShortMessage& message = GetParam();
  const float gravity = gGravity;
  const std::uint32_t interval = gGameSession.globalParams.stateReportInterval;
  Post(message.type, std::vector<std::uint8_t>(message.length, 0x11));
  gGameSession.DispatchMessages();
  EXPECT_EQ(gGameSession.Count(), 0u);
  EXPECT_EQ(gGravity, gravity);
  EXPECT_EQ(gGameSession.globalParams.stateReportInterval, interval);
  for (const TeamBase& base : gTeamBases) {
    EXPECT_EQ(base.team, 0u);
  }
  char line[100];
  std::snprintf(line, sizeof line, "00 short message: type 0x%08X, %u bytes of %u\n", message.type,
                message.length, message.needed);
  EXPECT_EQ(Log(), line);
}

INSTANTIATE_TEST_SUITE_P(
    SessionMessages, ShortMessageTest,
    testing::Values(ShortMessage{MSG_SET_GRAVITY, 3, 4}, ShortMessage{MSG_TEAM_BASE, 15, 16},
                    ShortMessage{MSG_TEAM_BASE, 0, 16}, ShortMessage{GLOBAL_PARAMS_PASS, 283, 284},
                    ShortMessage{MSG_TIME_OF_DAY, 23, 24}, ShortMessage{MSG_TIME_BASE, 12, 16},
                    ShortMessage{MSG_WEATHER_EVENT, 8, 12},
                    ShortMessage{MSG_WEATHER_ENABLE, 2, 4}));

// The day clock and the weather are the atmosphere's.
TEST_F(MessageDispatchTest, TimeAndWeatherMessagesReachTheAtmosphere) {
  CAtmosphere& atmosphere = gGameSession.atmosphere;
  // Day clock 1000, dawn from 500 to 90000 (hundredths of a second).
  Post(MSG_TIME_BASE, test_support::WordPayload({1000, 1, 500, 90000}));
  // Step 20 heading for 44, without the sun's timing.
  Post(MSG_TIME_OF_DAY, test_support::WordPayload({20, 44, 0, 0, 0, 0}));
  // A fade-in that starts later than the clock: queued.
  Post(MSG_WEATHER_EVENT, test_support::WordPayload({1, 5000, 7000}));
  gGameSession.DispatchMessages();
  EXPECT_EQ(atmosphere.Sky().dayClock, 1000u);
  EXPECT_EQ(atmosphere.Sky().phaseEnd, 90000u);
  EXPECT_EQ(atmosphere.DayClock().TimeOfDayStep(), 20);
  EXPECT_EQ(atmosphere.DayClock().TargetStep(), 44);
  EXPECT_EQ(atmosphere.QueuedWeather(), 1u);
  // Weather on takes the step the server is heading for.
  Post(MSG_WEATHER_ENABLE, test_support::WordPayload({1}));
  gGameSession.DispatchMessages();
  EXPECT_EQ(atmosphere.DayClock().TimeOfDayStep(), 44);
}

// Longer payloads are read for their leading bytes.
TEST_F(MessageDispatchTest, LongerPayloadIsReadForItsLeadingBytes) {
  std::vector<std::uint8_t> payload = TeamBasePayload(1, 10.0f, 20.0f, 30.0f);
  payload.resize(40, 0xEE);
  Post(MSG_TEAM_BASE, payload);
  gGameSession.DispatchMessages();
  EXPECT_EQ(gTeamBases[1].z, 30.0f);
  EXPECT_EQ(Log(), "");
}

// Types the session has no handler for, and types the system does not know, are freed without
// effect.
TEST_F(MessageDispatchTest, OtherTypesAreFreedWithoutEffect) {
  const float gravity = gGravity;
  for (const std::uint32_t type :
       {MSG_SET_GLOBAL_WORD4, MSG_CHAT, MSG_TANK_DESTROYED, 0x4000003u, 0u, 0xFFFFFFFFu}) {
    Post(type, test_support::WordPayload({1, 2, 3, 4, 5, 6, 7, 8}));
  }
  gGameSession.DispatchMessages();
  EXPECT_EQ(gGameSession.Count(), 0u);
  EXPECT_EQ(gGameSession.quitFlag, 0u);
  EXPECT_EQ(gGameSession.syncPingPending, 0u);
  EXPECT_EQ(gGravity, gravity);
  EXPECT_EQ(Log(), "");
}

}  // namespace
