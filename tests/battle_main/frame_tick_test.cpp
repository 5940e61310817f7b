#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/byte_reader.h"
#include "battle/main/game_session.h"
#include "battle/main/main_loop.h"
#include "common/messages.h"
#include "platform/kernel/clock.h"

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

// The first report goes out at the first frame 30 s after the library loaded, as a datagram
// from the network client's own mailbox.
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
