// The player's tank against the test server: after the login and the loadout it reports its
// state at the server's interval, fires on the fire key and reports the damage of a hit the
// server sends.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <variant>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "battle/arena/input_event.h"
#include "battle/arena/player_loadout_slots.h"
#include "battle/arena/player_tank.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/main/game_session.h"
#include "battle/main/login.h"
#include "common/messages.h"
#include "tests/battle_main/design_screen_access.h"
#include "tests/support/demo_world_session.h"
#include "tools/testserver/server_params.h"
#include "tools/testserver/tank_lines.h"
#include "tools/testserver/test_server.h"

namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kOwnId = KIND_TANK | 4;
// The design screen's catalogue slot of the Mark I laser.
constexpr std::uint32_t kMarkILaserSlot = 15;

// Runs frames on the real clock until `done` or two seconds have passed.
template <typename Done>
bool TickUntil(Done done) {
  for (int i = 0; i < 200; ++i) {
    gGameSession.Tick();
    if (done()) {
      return true;
    }
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

TEST(PlayerTankOnTheWire, ReportsFiresAndReportsItsDamage) {
  test_support::DemoWorldSession world;
  ASSERT_TRUE(world.Started());
  testserver::TestServer server(MakeServerParamWords(), MakeServerGlobalParamsPayload());
  auto script = testserver::ParseScript("");
  ASSERT_TRUE(std::holds_alternative<testserver::Script>(script));
  const std::optional<std::uint16_t> port =
      server.Start("127.0.0.1", 0, std::get<testserver::Script>(script));
  ASSERT_TRUE(port.has_value()) << server.Error();
  LoginBlock block{};
  block.serverPort = *port;
  std::strcpy(block.serverHost, "127.0.0.1");
  std::strcpy(block.loginText, "pilot");
  ASSERT_EQ(LoginToServer(&block), 0);
  gGameSession.quitFlag = 0;

  const float place[3] = {100.0f, 100.0f, 1.0f};
  server.Send(testserver::MakePlayerTankCreate(kOwnId, 0, 0, "me", place, 0.0f));
  ASSERT_TRUE(TickUntil([] { return gGameSession.ownTank != nullptr; }));
  CPlayerTank& tank = *gGameSession.ownTank;

  // The design screen's vehicle: a Mark I laser; leaving the screen applies it.
  ShowOnDesignScreen(0, {kMarkILaserSlot});
  tank.damageLevel = -1;  // the loadout on leaving the screen is the first of this life
  PostInputEvent(tank, {kInputCommand, 0x1051});
  ASSERT_TRUE(TickUntil([&tank] { return tank.designScreenOpen == 0; }));
  EXPECT_EQ(tank.damageLevel, 0);
  EXPECT_EQ(tank.chassis, 0u);
  EXPECT_EQ(tank.weaponSlots[kSlotMarkI], DesignCatalogueRecord(kMarkILaserSlot));
  EXPECT_EQ(tank.weaponWord, 4u);  // the Mark I laser's feed

  const std::uint32_t interval = gGameSession.globalParams.stateReportInterval;
  ASSERT_GT(interval, 0u);
  TickUntil([&server] { return server.WaitForMessage(MSG_TANK_STATE, 0ms, 2).has_value(); });
  const auto first = server.WaitForMessage(MSG_TANK_STATE, 1s, 1);
  const auto second = server.WaitForMessage(MSG_TANK_STATE, 1s, 2);
  ASSERT_TRUE(first.has_value() && second.has_value());
  EXPECT_EQ(first->payload.size(), 36u);
  EXPECT_GE(second->atMs - first->atMs + 20, interval);

  PostInputEvent(tank, {kInputCommand, 0x1037});
  TickUntil([&server] { return server.WaitForMessage(MSG_TANK_FIRE, 0ms).has_value(); });
  const auto fire = server.WaitForMessage(MSG_TANK_FIRE, 1s);
  ASSERT_TRUE(fire.has_value());
  arena::ByteReader shot(fire->payload);
  shot.Skip(20);
  EXPECT_EQ(shot.U32() & 0xFFFF, 4u);
  PostInputEvent(tank, {kInputCommand, 0x1038});

  // A hit past the armor: level 1 reported.
  arena::ByteWriter hit;
  hit.I32(tank.armor + tank.crits - 5);
  hit.U32(KIND_TANK | 9);
  hit.U32(1);
  hit.I32(9);  // AP shell
  server.Send(testserver::MakeDatagram(kOwnId, MSG_TANK_HIT, hit.bytes()));
  const auto levels = [&server] {
    std::vector<std::int32_t> found;
    for (const testserver::ReceivedMessage& message : server.Received()) {
      if (message.type == MSG_TANK_DAMAGE_LEVEL) {
        found.push_back(arena::ByteReader(message.payload).I32());
      }
    }
    return found;
  };
  TickUntil([&levels] { return levels().size() >= 4; });
  EXPECT_EQ(tank.crits, 5);
  // The loadout's level 0, then the armor used up and the crits below 30.
  EXPECT_EQ(levels(), (std::vector<std::int32_t>{0, 1, 2}));

  gGameSession.netSocket.Close();
  server.Stop();
  std::uint32_t length = 0;
  while (gGameSession.Receive(length) != nullptr) {
  }
  gFrameTime = 0;
  InitGameParams();
}

}  // namespace
