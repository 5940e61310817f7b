#include <gtest/gtest.h>

#include <thread>

#include "window_fixture.h"

namespace {

using MessageQueueTest = WindowTest;

TEST_F(MessageQueueTest, PeekLeavesOrRemovesTheOldestMatchingMessage) {
  const HWND window = CreateRecordedWindow();
  ASSERT_TRUE(PostMessageA(window, WM_USER + 1, 11, 0));
  ASSERT_TRUE(PostMessageA(window, WM_USER + 2, 22, 0));
  ASSERT_TRUE(PostMessageA(window, WM_USER + 3, 33, 0));

  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(message.message, WM_USER + 1u);
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(message.message, WM_USER + 1u) << "PM_NOREMOVE left it first";

  // A range filter skips over older messages and takes the one that matches.
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(message.wParam, 22u);
  EXPECT_EQ(message.hwnd, window);
  EXPECT_EQ(message.time, 1000u);

  ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, WM_USER + 1u);
  ASSERT_EQ(GetMessageA(&message, window, 0, 0), 1);
  EXPECT_EQ(message.message, WM_USER + 3u);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, WindowFilterSkipsThreadMessages) {
  const HWND window = CreateRecordedWindow();
  ASSERT_TRUE(PostMessageA(nullptr, WM_USER, 1, 0));
  MSG message{};
  EXPECT_FALSE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.hwnd, nullptr);
  EXPECT_EQ(message.wParam, 1u);
}

TEST_F(MessageQueueTest, QuitComesAfterTheWaitingMessagesAndMakesGetMessageReturnZero) {
  const HWND window = CreateRecordedWindow();
  ASSERT_TRUE(PostMessageA(window, WM_USER, 0, 0));
  PostQuitMessage(3);
  ASSERT_TRUE(PostMessageA(window, WM_USER + 1, 0, 0));

  MSG message{};
  EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, WM_USER + 1u);
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), 0);
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "one quit, taken once";
}

TEST_F(MessageQueueTest, BadArgumentsAreRefused) {
  EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
  EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(DispatchMessageA(nullptr), 0);
}

// A procedure that answers differently from the recording one.
LRESULT AnswerFortyTwo(HWND, UINT, WPARAM, LPARAM) { return 42; }

TEST_F(MessageQueueTest, SetWindowLongReturnsThePreviousProcedureAndDispatchUsesTheCurrentOne) {
  const HWND window = CreateRecordedWindow();
  ASSERT_TRUE(PostMessageA(window, WM_USER, 5, 6));
  MSG message{};
  ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), 1);

  const LONG_PTR previous =
      SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&AnswerFortyTwo));
  EXPECT_EQ(previous, reinterpret_cast<LONG_PTR>(&RecordingProc));
  EXPECT_EQ(DispatchMessageA(&message), 42);
  EXPECT_TRUE(Received().empty());

  // Putting the previous procedure back, as a library does before it is unloaded.
  EXPECT_EQ(SetWindowLongA(window, GWL_WNDPROC, previous),
            reinterpret_cast<LONG_PTR>(&AnswerFortyTwo));
  EXPECT_EQ(DispatchMessageA(&message), 7);
  EXPECT_EQ(Received(), (std::vector<ReceivedMessage>{{window, WM_USER, 5, 6}}));
  EXPECT_FALSE(TranslateMessage(&message));
}

TEST_F(MessageQueueTest, SendMessageCallsTheProcedureAtOnceWithoutQueueing) {
  const HWND window = CreateRecordedWindow();
  EXPECT_EQ(SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0), 7);
  EXPECT_EQ(SendMessageA(window, WM_QUERYNEWPALETTE, 0, 0), 7);
  EXPECT_EQ(Received(), (std::vector<ReceivedMessage>{{window, WM_ACTIVATE, WA_ACTIVE, 0},
                                                      {window, WM_QUERYNEWPALETTE, 0, 0}}));
  MSG message{};
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(MessageQueueTest, DefaultCloseDestroysTheWindowAndItsQueuedMessages) {
  const HWND window = CreateRecordedWindow();
  ASSERT_TRUE(PostMessageA(window, WM_USER, 0, 0));
  EXPECT_EQ(DefWindowProcA(window, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(Received(), (std::vector<ReceivedMessage>{{window, WM_DESTROY, 0, 0}}));

  MSG message{};
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  // The stale handle reaches nothing.
  EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_EQ(SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&AnswerFortyTwo)), 0);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(Received().size(), 1u);
}

TEST_F(MessageQueueTest, OtherMessagesGetTheDefaultAnswerZero) {
  const HWND window = CreateRecordedWindow();
  for (const UINT message : {WM_QUERYNEWPALETTE, WM_PALETTECHANGED, WM_SYSCOMMAND, WM_USER}) {
    EXPECT_EQ(DefWindowProcA(window, message, 0, 0), 0) << message;
  }
  platform::WindowState state{};
  EXPECT_TRUE(platform::GetWindowState(window, state)) << "still there";
}

TEST_F(MessageQueueTest, GetMessageSleepsTheProcessClockUntilTheScriptedInput) {
  UseScript({SimpleEvent(5000, platform::BackendEventKind::kClose)});
  const HWND window = CreateRecordedWindow();
  MSG message{};
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, WM_CLOSE);
  EXPECT_EQ(message.hwnd, window);
  EXPECT_EQ(timeGetTime(), 5000u);
}

TEST_F(MessageQueueTest, MessagesPostedFromAnotherThreadWakeAWaitingGetMessage) {
  const HWND window = CreateRecordedWindow();
  std::thread poster([window] { PostMessageA(window, WM_USER + 9, 0, 0); });
  MSG message{};
  ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, WM_USER + 9u);
  poster.join();
}

}  // namespace
