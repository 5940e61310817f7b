#include <gtest/gtest.h>
#include <time.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <variant>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/player_tank.h"
#include "battle/core/game_params.h"
#include "battle/main/game_session.h"
#include "battle/main/game_window_proc.h"
#include "battle/main/login.h"
#include "battle/main/main_loop.h"
#include "battle/main/object_kinds.h"
#include "battle/ui/ui_toolkit.h"
#include "common/messages.h"
#include "engine/r3x.h"
#include "host/interface/host_record.h"
#include "platform/backend/display_backend.h"
#include "platform/kernel/clock.h"
#include "tests/support/demo_world_session.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/testserver/server_params.h"
#include "tools/testserver/tank_lines.h"
#include "tools/testserver/test_server.h"

namespace {

struct Taken {
  std::uint32_t sender;
  std::uint32_t type;
  std::vector<std::uint8_t> payload;
};

class FrameTickTest : public testing::Test {
 protected:
  FrameTickTest() { Reset(); }
  ~FrameTickTest() override { Reset(); }

  static void Reset() {
    std::uint32_t length = 0;
    while (gGameSession.Receive(length) != nullptr) {
    }
    while (gGameSession.netSocket.Receive(length) != nullptr) {
    }
    gGameSession.quitFlag = 0;
    gGameSession.syncPingPending = 0;
    gGameSession.networkNoticeTime = 0;
    gGameSession.frameRate = {};
    gGameSession.timing = {};
    gFrameTime = 0;
  }

  // What the game gave the network client to send.
  static std::vector<Taken> ToServer() {
    std::vector<Taken> taken;
    std::uint32_t length = 0;
    while (const MailboxMessagePtr message = gGameSession.netSocket.Receive(length)) {
      const auto bytes = message->Bytes();
      taken.push_back({message->sender, message->type, {bytes.begin(), bytes.end()}});
    }
    return taken;
  }

  platform::VirtualClock clock_{5000};
  platform::ScopedProcessClock scopedClock_{clock_};
};

TEST_F(FrameTickTest, SyncPingIsAnsweredOnceByTheNextFrame) {
  CMailbox::PostAnonymous(kSessionAddress, MSG_SYNC_PING, 0, nullptr);
  gGameSession.Tick();
  const std::vector<Taken> sent = ToServer();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].sender, kSessionAddress);
  EXPECT_EQ(sent[0].type, MSG_SYNC_PING);
  EXPECT_TRUE(sent[0].payload.empty());
  gGameSession.Tick();
  EXPECT_TRUE(ToServer().empty());
}

// MSG_QUIT ends the frame in the dispatch: nothing of the render path runs (no sync-ping
// answer, no frame counted for the report), and the main loop ends after that frame.
TEST_F(FrameTickTest, QuitEndsTheFrameAtTheDispatchAndTheLoopAfterIt) {
  CMailbox::PostAnonymous(kSessionAddress, MSG_SYNC_PING, 0, nullptr);
  CMailbox::PostAnonymous(kSessionAddress, MSG_QUIT, 0, nullptr);
  RunMainLoop(gGameSession);
  EXPECT_EQ(gGameSession.quitFlag, 1u);
  EXPECT_EQ(gGameSession.syncPingPending, 1u);
  EXPECT_EQ(gGameSession.frameRate.frames, 0u);
  EXPECT_TRUE(ToServer().empty());
  EXPECT_EQ(gFrameTime, 5000u);
}

// The first report goes out at the first frame once the clock reads 30000, as a datagram from the
// network client's own mailbox.
TEST_F(FrameTickTest, FrameRateIsReportedFromTheNetworkClient) {
  std::vector<Taken> reports;
  for (int frame = 0; frame < 2501 && reports.empty(); ++frame) {  // 5000 ms to 30000 ms
    gGameSession.Tick();
    reports = ToServer();
    clock_.Advance(10);
  }
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(gFrameTime, 30000u);
  EXPECT_EQ(reports[0].sender, kNetworkAddress);
  EXPECT_EQ(reports[0].type, MSG_FRAME_RATE);
  EXPECT_TRUE(IsDatagramMessage(MSG_FRAME_RATE));
  ASSERT_EQ(reports[0].payload.size(), 4u);
  // 2501 frames since the library loaded at 0 ms.
  EXPECT_EQ(arena::ByteReader(reports[0].payload).U32(), 2501u * 100000u / 30000u);
}

// On the real clock, which counts from the system's start, the first frame of a game is past the
// report time set when the library loaded: the server gets a frame rate with the first frame.
TEST(FrameRateOnTheWire, FirstFrameAfterTheLoginSendsTheFrameRate) {
  timespec sinceSystemStart{};
  clock_gettime(CLOCK_MONOTONIC, &sinceSystemStart);
  if (sinceSystemStart.tv_sec < kFrameRateReportInterval / 1000 + 1) {
    GTEST_SKIP() << "the system started less than 30 s ago";
  }
  std::array<std::uint32_t, GAME_PARAM_COUNT> words{};
  testserver::TestServer server(words, MakeServerGlobalParamsPayload());
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
  gGameSession.frameRate = {};  // as the library's load left it
  gGameSession.quitFlag = 0;
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.frameRate.frames, 0u);  // counted and reported
  EXPECT_TRUE(server.WaitForMessage(MSG_FRAME_RATE, std::chrono::seconds(2)).has_value());
  gGameSession.netSocket.Close();
  server.Stop();
  std::uint32_t length = 0;
  while (gGameSession.Receive(length) != nullptr) {
  }
  gGameSession.frameRate = {};
  gFrameTime = 0;
  InitGameParams();
}

TEST_F(FrameTickTest, LostConnectionIsNoticedOnceAndPlayGoesOn) {
  ASSERT_FALSE(gGameSession.netSocket.IsConnected());
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.networkNoticeTime, 11000u);
  clock_.Advance(7000);
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.networkNoticeTime, 11000u);
  EXPECT_EQ(gFrameTime, 12000u);
}

}  // namespace

namespace {

// Frames of the started demo world, on a virtual clock.
class WorldFrameTest : public FrameTickTest {
 protected:
  WorldFrameTest() {
    platform::ClearShownFrames();
    gGameSession.timing = {};
  }
  ~WorldFrameTest() override { gGameSession.timing = {}; }

  test_support::DemoWorldSession world_;
};

TEST_F(WorldFrameTest, EachFrameIsShownOnce) {
  ASSERT_TRUE(world_.Started());
  platform::ClearShownFrames();
  for (int i = 0; i < 3; ++i) {
    clock_.Advance(20);
    gGameSession.Tick();
  }
  EXPECT_EQ(platform::ShownFrameCount(), 3u);
}

TEST_F(WorldFrameTest, QuitEndsTheLoopWithoutAPresent) {
  ASSERT_TRUE(world_.Started());
  platform::ClearShownFrames();
  clock_.Advance(20);
  CMailbox::PostAnonymous(kSessionAddress, MSG_QUIT, 0, nullptr);
  RunMainLoop(gGameSession);
  EXPECT_EQ(gGameSession.quitFlag, 1u);
  EXPECT_EQ(platform::ShownFrameCount(), 0u);
}

// The view waits until the frame time is past the world start's: meanwhile the camera's image
// is cleared, and the first later frame draws the arena.
TEST_F(WorldFrameTest, ViewIsDrawnOnceTheFrameTimeIsPastTheStart) {
  ASSERT_TRUE(world_.Started());
  gGameSession.timing.on = 1;
  gGameSession.noDrawUntil = timeGetTime();
  r3xGetCameraImageBuffer(gCamera)[0] = 0;
  gGameSession.Tick();
  EXPECT_NE(gGameSession.noDrawUntil, 0u);
  EXPECT_EQ(gGameSession.timing.last[kPhasePolygons], 0u);
  EXPECT_EQ(r3xGetCameraImageBuffer(gCamera)[0], 0xFF);
  clock_.Advance(1);
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.noDrawUntil, 0u);
  EXPECT_GT(gGameSession.timing.last[kPhasePolygons], 0u);
  EXPECT_GT(gGameSession.timing.last[kPhaseRegions], 0u);
}

// The answer to a sync ping keeps the loop entry a time between ticks; the frame counts and
// the sums grow only with timed frames.
TEST_F(WorldFrameTest, TimedFramesFillTheTables) {
  ASSERT_TRUE(world_.Started());
  gGameSession.timing.on = 1;
  gGameSession.timing.StampLoop(timeGetTime());
  clock_.Advance(7);
  CMailbox::PostAnonymous(kSessionAddress, MSG_SYNC_PING, 0, nullptr);
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.timing.frameCount, 1u);
  EXPECT_EQ(gGameSession.timing.last[kPhaseLoop], 7u);
  clock_.Advance(5);
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.timing.frameCount, 2u);
  EXPECT_EQ(gGameSession.timing.last[kPhaseLoop], 5u);
  EXPECT_EQ(gGameSession.timing.sum[kPhaseLoop], 12u);
  EXPECT_EQ(gGameSession.timing.largest[kPhaseLoop], 7u);
  gGameSession.timing.on = 0;
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.timing.frameCount, 2u);
}

// A palette switch (the infra-red view) is installed at the end of the next frame drawn.
TEST_F(WorldFrameTest, SwitchedPaletteIsInstalledByTheNextFrame) {
  ASSERT_TRUE(world_.Started());
  clock_.Advance(1);
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.palettes.Applied(), gGameSession.palettes.Normal());
  gGameSession.palettes.SetInfraRed(1);
  EXPECT_TRUE(gGameSession.palettes.PaletteDirty());
  clock_.Advance(1);
  gGameSession.Tick();
  EXPECT_EQ(gGameSession.palettes.Applied(), gGameSession.palettes.InfraRed());
  EXPECT_FALSE(gGameSession.palettes.PaletteDirty());
  gGameSession.palettes.SetInfraRed(0);
}

}  // namespace

namespace {

// The player's tank of the demo arena, made as the server makes it.
CPlayerTank* CreateOwnTank() {
  const float place[3] = {100.0f, 100.0f, 1.0f};
  const testserver::Action create =
      testserver::MakePlayerTankCreate(KIND_TANK | 4, 0, 0, "me", place, 0.0f);
  DispatchObjectMessage(gGameSession, MSG_CREATE_PLAYER_TANK,
                        testserver::BuildPayload(create.payload, testserver::PayloadSources{}));
  return gGameSession.ownTank;
}

// While the parameter editor is open its frames replace the render path: nothing is presented
// and a sync ping waits for the editor to close; the own tank's messages go on each frame.
TEST_F(WorldFrameTest, TheParameterEditorsFramesReplaceTheRenderPath) {
  ASSERT_TRUE(world_.Started());
  CPlayerTank* tank = CreateOwnTank();
  ASSERT_NE(tank, nullptr);
  tank->designScreenOpen = 0;
  tank->paramEditorOpen = 1;
  platform::ClearShownFrames();
  CMailbox::PostAnonymous(kSessionAddress, MSG_SYNC_PING, 0, nullptr);
  CMailbox::PostAnonymous(kPlayerInputAddress, MSG_TOGGLE_RESTRICTED_KEYS, 0, nullptr);
  clock_.Advance(20);
  gGameSession.Tick();
  EXPECT_EQ(platform::ShownFrameCount(), 0u);
  EXPECT_EQ(tank->restrictedKeys, 1u);
  for (const Taken& taken : ToServer()) {
    EXPECT_NE(taken.type, MSG_SYNC_PING);
  }
  tank->paramEditorOpen = 0;
  clock_.Advance(20);
  gGameSession.Tick();
  EXPECT_EQ(platform::ShownFrameCount(), 1u);
  bool answered = false;
  for (const Taken& taken : ToServer()) {
    answered = answered || taken.type == MSG_SYNC_PING;
  }
  EXPECT_TRUE(answered);
}

// The world start has made the design screen; while the own tank's design flag is set (as the
// server's new tank has it) the frames run the screen instead of the render path, and the
// toolkit takes the window's messages while the screen is up.
TEST_F(WorldFrameTest, TheDesignScreensFramesReplaceTheRenderPath) {
  ASSERT_TRUE(world_.Started());
  ASSERT_NE(gGameSession.designScreen, nullptr);
  EXPECT_FALSE(gGameSession.DesignScreenUp());
  test_support::ScratchFolder folder;
  test_support::ScopedWorkingFolder working(folder.Path());
  test_support::WriteTestFile(
      folder / "Design.r3x",
      mkdata::BuildPack({{"readme.txt", {'x'}}}, mkdata::PackLayout::kHeader));
  CPlayerTank* tank = CreateOwnTank();
  ASSERT_NE(tank, nullptr);
  ASSERT_NE(tank->designScreenOpen, 0u);
  platform::ClearShownFrames();
  CMailbox::PostAnonymous(kSessionAddress, MSG_SYNC_PING, 0, nullptr);
  clock_.Advance(20);
  gGameSession.Tick();
  EXPECT_TRUE(gGameSession.DesignScreenUp());
  EXPECT_EQ(platform::ShownFrameCount(), 1u) << "the screen's own present";
  for (const Taken& taken : ToServer()) {
    EXPECT_NE(taken.type, MSG_SYNC_PING) << "the render path answers the ping";
  }
  const int events = CountUiEvents();
  GameWindowProc(gGameSession.window, WM_CHAR, 'a', 0);
  EXPECT_EQ(CountUiEvents(), events + 1) << "the key went to the toolkit";
  gGameSession.CloseDesignScreen();
  EXPECT_FALSE(gGameSession.DesignScreenUp());
  tank->designScreenOpen = 0;
  clock_.Advance(20);
  gGameSession.Tick();
  EXPECT_EQ(platform::ShownFrameCount(), 2u);
  bool answered = false;
  for (const Taken& taken : ToServer()) {
    answered = answered || taken.type == MSG_SYNC_PING;
  }
  EXPECT_TRUE(answered);
}

}  // namespace
