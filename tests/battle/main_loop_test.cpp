#include "battle/main/main_loop.h"

#include <gtest/gtest.h>

#include <vector>

#include "battle/main/game_session.h"
#include "platform/kernel/clock.h"
#include "tests/battle/game_fixture.h"

namespace {

// What the game window saw: the frame time at each message.
std::vector<std::uint32_t>& FrameTimesAtMessages() {
  static std::vector<std::uint32_t> times;
  return times;
}

platform::VirtualClock* gLoopClock = nullptr;
std::size_t gQuitAfterMessages = 0;

// Takes 10 ms per message, and ends the game at the chosen message.
LRESULT CountingProc(HWND /*window*/, UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
  FrameTimesAtMessages().push_back(gFrameTime);
  gLoopClock->Advance(10);
  if (FrameTimesAtMessages().size() == gQuitAfterMessages) {
    gGameSession.quitFlag = 1;
  }
  return 0;
}

class MainLoopTest : public test::GameFixture {
 protected:
  MainLoopTest() {
    gLoopClock = &clock_;
    gFrameTime = 0;
    gGameSession.quitFlag = 0;
    FrameTimesAtMessages().clear();
    SetWindowLongA(window_, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc));
  }
  ~MainLoopTest() override {
    gGameSession.quitFlag = 0;
    gFrameTime = 0;
  }

  platform::VirtualClock clock_{1000};
  platform::ScopedProcessClock scopedClock_{clock_};
};

TEST_F(MainLoopTest, EachPassHandlesOneMessageThenOneFrame) {
  gQuitAfterMessages = 3;
  for (int i = 0; i < 4; ++i) {
    PostMessageA(window_, WM_USER, 0, 0);
  }
  RunMainLoop(gGameSession);
  // Before the first message no frame has run; each later message follows one frame.
  EXPECT_EQ(FrameTimesAtMessages(), (std::vector<std::uint32_t>{0, 1010, 1020}));
  // The frame after the quit returns at once.
  EXPECT_EQ(gFrameTime, 1020u);
  MSG left{};
  EXPECT_TRUE(PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE)) << "one message is left";
}

TEST_F(MainLoopTest, QuitMessageEndsTheLoopBeforeTheNextFrame) {
  gQuitAfterMessages = 0;
  PostMessageA(window_, WM_USER, 0, 0);
  PostQuitMessage(0);
  RunMainLoop(gGameSession);
  EXPECT_EQ(FrameTimesAtMessages(), (std::vector<std::uint32_t>{0}));
  EXPECT_EQ(gFrameTime, 1010u) << "one frame after the first message, none after the quit";
}

TEST_F(MainLoopTest, SetQuitFlagSkipsTheLoop) {
  gGameSession.quitFlag = 1;
  PostMessageA(window_, WM_USER, 0, 0);
  RunMainLoop(gGameSession);
  EXPECT_TRUE(FrameTimesAtMessages().empty());
  EXPECT_EQ(gFrameTime, 0u);
}

}  // namespace
