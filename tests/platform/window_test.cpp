#include <gtest/gtest.h>

#include "platform/window/cursor.h"
#include "window_fixture.h"

namespace {

using WindowServicesTest = WindowTest;

LRESULT RefuseCreation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  RecordingProc(window, message, wParam, lParam);
  return message == WM_CREATE ? -1 : 0;
}

TEST_F(WindowServicesTest, ClassesAreFoundIgnoringCaseAndRegisteredOnce) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.lpszClassName = "kelvane_wc";
  EXPECT_NE(windowClass.hIcon, nullptr);
  EXPECT_NE(RegisterClassA(&windowClass), 0);
  EXPECT_EQ(RegisterClassA(&windowClass), 0) << "taken";
  windowClass.lpszClassName = "Kelvane_WC";
  EXPECT_EQ(RegisterClassA(&windowClass), 0) << "taken, in other letters";
  EXPECT_EQ(platform::FindClassProcedure("KELVANE_wc"), &DefWindowProcA);

  EXPECT_EQ(
      CreateWindowExA(0, "no_such_class", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
      nullptr);
}

TEST_F(WindowServicesTest, TheHostWindowIsCreatedShownActiveAndRestyled) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "kelvane_wc";
  RegisterClassA(&windowClass);
  const HWND window = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOPMOST, "kelvane_wc", "Kelvane",
                                      WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, 0, 0, 640, 480,
                                      nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetActiveWindow(), window);
  EXPECT_EQ(platform::GetShownWindow(), window);

  EXPECT_EQ(SetWindowLongA(window, GWL_STYLE, WS_POPUP | WS_VISIBLE),
            static_cast<LONG_PTR>(WS_VISIBLE | WS_CAPTION | WS_THICKFRAME));
  EXPECT_EQ(SetWindowLongA(window, 12345, 1), 0) << "unknown index";
  platform::WindowState state{};
  ASSERT_TRUE(platform::GetWindowState(window, state));
  EXPECT_EQ(state.style, WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(state.exStyle, WS_EX_APPWINDOW | WS_EX_TOPMOST);
  EXPECT_EQ(state.width, 640);
  EXPECT_EQ(state.height, 480);
  EXPECT_TRUE(state.visible);
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(platform::GetShownWindow(), nullptr);
}

TEST_F(WindowServicesTest, CreationRefusedByTheProcedureDestroysTheWindow) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = RefuseCreation;
  windowClass.lpszClassName = "refusing";
  RegisterClassA(&windowClass);
  EXPECT_EQ(CreateWindowExA(0, "refusing", "", WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
  ASSERT_EQ(Received().size(), 2u);
  EXPECT_EQ(Received()[0].message, WM_CREATE);
  EXPECT_EQ(Received()[1].message, WM_DESTROY);
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(WindowServicesTest, ShowWindowReportsThePreviousVisibility) {
  const HWND window = CreateRecordedWindow();
  EXPECT_TRUE(ShowWindow(window, SW_SHOW));
  EXPECT_TRUE(ShowWindow(window, SW_HIDE));
  EXPECT_EQ(platform::GetShownWindow(), nullptr);
  EXPECT_FALSE(ShowWindow(window, SW_SHOW));
  EXPECT_EQ(platform::GetShownWindow(), window);
  EXPECT_TRUE(Received().empty()) << "showing sends nothing, so WM_SETFOCUS may call it";
}

TEST_F(WindowServicesTest, SetWindowPosMakesTopmostAndKeepsWhatTheFlagsKeep) {
  const HWND window = CreateRecordedWindow();
  SetWindowLongA(window, GWL_STYLE, 0);
  ASSERT_TRUE(
      SetWindowPos(window, HWND_TOPMOST, 5, 6, 7, 8, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  platform::WindowState state{};
  ASSERT_TRUE(platform::GetWindowState(window, state));
  EXPECT_EQ(state.exStyle, WS_EX_TOPMOST);
  EXPECT_EQ(state.x, 0);
  EXPECT_EQ(state.width, 640);
  ASSERT_TRUE(SetWindowPos(window, HWND_TOPMOST, 0, 0, 800, 600, SWP_NOMOVE));
  ASSERT_TRUE(platform::GetWindowState(window, state));
  EXPECT_EQ(state.width, 800);
  EXPECT_EQ(state.height, 600);
}

TEST_F(WindowServicesTest, FocusChangesSendActivationMessagesAndCountAsChanges) {
  const HWND window = CreateRecordedWindow();
  const DWORD changes = platform::GetActiveWindowChanges();

  platform::SetApplicationFocus(false);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  platform::SetApplicationFocus(false);
  // Shown again while unfocused: it will be the one activated, but is not active yet.
  ShowWindow(window, SW_SHOW);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  platform::SetApplicationFocus(true);
  EXPECT_EQ(GetActiveWindow(), window);

  EXPECT_EQ(Received(), (std::vector<ReceivedMessage>{
                            {window, WM_ACTIVATE, WA_INACTIVE, 0},
                            {window, WM_ACTIVATEAPP, FALSE, 0},
                            {window, WM_ACTIVATEAPP, TRUE, 0},
                            {window, WM_ACTIVATE, WA_ACTIVE, 0},
                            {window, WM_SETFOCUS, 0, 0},
                        }));
  EXPECT_EQ(platform::GetActiveWindowChanges(), changes + 2);
}

TEST_F(WindowServicesTest, SetCursorReturnsThePreviousCursor) {
  const HCURSOR arrow = SetCursor(nullptr);
  EXPECT_NE(arrow, nullptr);
  EXPECT_EQ(SetCursor(arrow), nullptr);
  EXPECT_EQ(SetCursor(arrow), arrow);
}

}  // namespace
