#include "platform/backend/input_script.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/backend/event_pump.h"
#include "platform/dinput.h"
#include "platform/joystick/joystick.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/scratch_folder.h"
#include "window_fixture.h"

namespace {

using platform::BackendEventKind;
using platform::MouseButton;

TEST(InputScript, ReadsEveryKindOfEventInTimeOrder) {
  const auto script = platform::ParseInputScript(
      "# a comment\n"
      "\n"
      "2000 key_up 0x9D\r\n"
      "1500 key_down 29\n"
      "1500 mouse_move 10 20\n"
      "  1600\tmouse_down right 1 2\n"
      "1700 mouse_up middle 639 479\n"
      "1800 focus_lost\n"
      "1900 focus_gained\n"
      "2100 close\n"
      "2200 char 0x61\n");
  EXPECT_TRUE(script.errors.empty());
  ASSERT_EQ(script.events.size(), 9u);
  const auto& e = script.events;
  EXPECT_EQ(e[0].kind, BackendEventKind::kKeyDown);
  EXPECT_EQ(e[0].time, 1500u);
  EXPECT_EQ(e[0].scanCode, 29);
  EXPECT_EQ(e[1].kind, BackendEventKind::kMouseMove) << "same time: text order";
  EXPECT_EQ(e[1].x, 10);
  EXPECT_EQ(e[1].y, 20);
  EXPECT_EQ(e[2].kind, BackendEventKind::kMouseButtonDown);
  EXPECT_EQ(e[2].button, MouseButton::kRight);
  EXPECT_EQ(e[3].kind, BackendEventKind::kMouseButtonUp);
  EXPECT_EQ(e[3].button, MouseButton::kMiddle);
  EXPECT_EQ(e[3].x, 639);
  EXPECT_EQ(e[4].kind, BackendEventKind::kFocusLost);
  EXPECT_EQ(e[5].kind, BackendEventKind::kFocusGained);
  EXPECT_EQ(e[6].kind, BackendEventKind::kKeyUp);
  EXPECT_EQ(e[6].scanCode, 0x9D);
  EXPECT_EQ(e[7].kind, BackendEventKind::kClose);
  EXPECT_EQ(e[8].kind, BackendEventKind::kCharacter);
  EXPECT_EQ(e[8].character, 0x61);
}

TEST(InputScript, SkipsAndNamesTheLinesItDoesNotUnderstand) {
  struct Case {
    const char* line;
    const char* error;
  };
  for (const Case c : {
           Case{"abc key_down 1", "line 1: bad time"},
           Case{"-5 key_down 1", "line 1: bad time"},
           Case{"4294967296 close", "line 1: bad time"},
           Case{"100", "line 1: missing event"},
           Case{"100 key_down 256", "line 1: expected one scan code 0-255"},
           Case{"100 key_down 0x", "line 1: expected one scan code 0-255"},
           Case{"100 key_up", "line 1: expected one scan code 0-255"},
           Case{"100 key_up 1 2", "line 1: expected one scan code 0-255"},
           Case{"100 mouse_move 1", "line 1: expected two coordinates 0-32767"},
           Case{"100 mouse_move 1 40000", "line 1: expected two coordinates 0-32767"},
           Case{"100 mouse_down 1 2", "line 1: expected left, right or middle and two coordinates"},
           Case{"100 mouse_down thumb 1 2",
                "line 1: expected left, right or middle and two coordinates"},
           Case{"100 close now", "line 1: unexpected arguments"},
           Case{"100 char 0", "line 1: expected one character code 1-255"},
           Case{"100 char 256", "line 1: expected one character code 1-255"},
           Case{"100 char", "line 1: expected one character code 1-255"},
           Case{"100 explode", "line 1: unknown event"},
       }) {
    const auto script = platform::ParseInputScript(c.line);
    EXPECT_TRUE(script.events.empty()) << c.line;
    ASSERT_EQ(script.errors.size(), 1u) << c.line;
    EXPECT_EQ(script.errors[0], c.error) << c.line;
  }
  const auto script = platform::ParseInputScript("100 close\n100 bogus\n200 close\n");
  EXPECT_EQ(script.events.size(), 2u);
  EXPECT_EQ(script.errors, std::vector<std::string>{"line 2: unknown event"});
}

TEST(InputScript, ReadsJoystickEvents) {
  struct Case {
    const char* line;
    BackendEventKind kind;
    int joystick;
    platform::JoystickAxis axis;
    int button;
    int value;
  };
  using platform::JoystickAxis;
  for (const Case c : {
           Case{"5 joystick_attach 0", BackendEventKind::kJoystickAttach, 0, JoystickAxis::kX, 32,
                0},
           Case{"5 joystick_attach 1 4", BackendEventKind::kJoystickAttach, 1, JoystickAxis::kX, 4,
                0},
           Case{"5 joystick_detach 1", BackendEventKind::kJoystickDetach, 1, JoystickAxis::kX, 32,
                0},
           Case{"5 joystick_axis 0 y 65535", BackendEventKind::kJoystickAxis, 0, JoystickAxis::kY,
                0, 65535},
           Case{"5 joystick_axis 0 x 0x10", BackendEventKind::kJoystickAxis, 0, JoystickAxis::kX, 0,
                16},
           Case{"5 joystick_button_down 0 31", BackendEventKind::kJoystickButtonDown, 0,
                JoystickAxis::kX, 31, 0},
           Case{"5 joystick_button_up 1 0", BackendEventKind::kJoystickButtonUp, 1,
                JoystickAxis::kX, 0, 0},
           Case{"5 joystick_hat 0 27000", BackendEventKind::kJoystickHat, 0, JoystickAxis::kX, 0,
                27000},
           Case{"5 joystick_hat 0 centred", BackendEventKind::kJoystickHat, 0, JoystickAxis::kX, 0,
                0xFFFF},
       }) {
    const auto script = platform::ParseInputScript(c.line);
    EXPECT_TRUE(script.errors.empty()) << c.line;
    ASSERT_EQ(script.events.size(), 1u) << c.line;
    const platform::BackendEvent& e = script.events[0];
    EXPECT_EQ(e.time, 5u) << c.line;
    EXPECT_EQ(e.kind, c.kind) << c.line;
    EXPECT_EQ(e.joystick, c.joystick) << c.line;
    EXPECT_EQ(e.axis, c.axis) << c.line;
    EXPECT_EQ(e.joystickButton, c.button) << c.line;
    EXPECT_EQ(e.value, c.value) << c.line;
  }
  for (const char* line :
       {"5 joystick_attach 2", "5 joystick_attach 0 33", "5 joystick_detach 0 1",
        "5 joystick_axis 0 z 5", "5 joystick_axis 0 x 65536", "5 joystick_button_down 0 32",
        "5 joystick_hat 0 36000", "5 joystick_hat 0", "5 joystick_axis"}) {
    const auto script = platform::ParseInputScript(line);
    EXPECT_TRUE(script.events.empty()) << line;
    EXPECT_EQ(script.errors.size(), 1u) << line;
  }
}

using HeadlessBackendTest = WindowTest;

// A scripted stick as the game polls it, with the virtual clock.
TEST_F(HeadlessBackendTest, TheScriptMovesAStickThatTheJoystickCallsRead) {
  const auto script = platform::ParseInputScript(
      "100 joystick_attach 0 8\n"
      "200 joystick_axis 0 x 1000\n"
      "200 joystick_button_down 0 1\n"
      "200 joystick_button_down 0 7\n"
      "200 joystick_hat 0 9000\n"
      "300 joystick_button_up 0 1\n"
      "300 joystick_hat 0 centred\n"
      "400 joystick_detach 0\n");
  ASSERT_TRUE(script.errors.empty());
  std::vector<platform::BackendEvent> events = script.events;
  for (platform::BackendEvent& event : events) {
    event.time += 1000;
  }
  UseScript(events);
  JOYINFOEX info{sizeof(JOYINFOEX), JOY_RETURNX | JOY_RETURNY | JOY_RETURNPOV | JOY_RETURNBUTTONS};
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
  clock_.Advance(100);
  JOYCAPSA caps{};
  ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof caps), JOYERR_NOERROR);
  EXPECT_EQ(caps.wXmax, 65535u);
  EXPECT_EQ(caps.wNumButtons, 8u);
  clock_.Advance(100);
  ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwXpos, 1000u);
  EXPECT_EQ(info.dwYpos, 32767u);
  EXPECT_EQ(info.dwButtons, 0x82u);
  EXPECT_EQ(info.dwPOV, 9000u);
  clock_.Advance(100);
  ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwButtons, 0x80u);
  EXPECT_EQ(info.dwPOV, JOY_POVCENTERED);
  clock_.Advance(100);
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
}

// The backend made from the environment, with a script file, driven by the virtual clock. The
// script's times count from the clock's start (1000 ms), not from its origin.
TEST_F(HeadlessBackendTest, TheScriptNamedByTheEnvironmentFeedsWindowAndKeyboard) {
  test_support::ScratchFolder folder;
  const std::string path = folder.Write("input.txt",
                                        "100 mouse_move 30 40\n"
                                        "200 mouse_down left 31 41\n"
                                        "250 mouse_down right 32 42\n"
                                        "300 mouse_up left 33 43\n"
                                        "400 key_down 0xB8\n"
                                        "420 key_down 0xC7\n"
                                        "450 char 97\n"
                                        "500 close\n");
  {
    test_support::ScopedEnvironment script("ARENA_INPUT_SCRIPT", path.c_str());
    test_support::ScopedEnvironment display("ARENA_DISPLAY", nullptr);
    platform::SetDisplayBackend(platform::CreateDisplayBackendFromEnvironment());
  }

  const HWND window = CreateRecordedWindow();
  IDirectInput* input = nullptr;
  IDirectInputDevice* keyboard = nullptr;
  ASSERT_EQ(DirectInputCreateA(nullptr, 0x0300, &input, nullptr), DI_OK);
  ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
  ASSERT_EQ(keyboard->SetCooperativeLevel(window, 6), DI_OK);
  ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  DIPROPDWORD property{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 32};
  ASSERT_EQ(keyboard->SetProperty(DIPROP_BUFFERSIZE, &property.diph), DI_OK);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);

  // The game's loop: at most one message per pass, a frame of 100 ms after each.
  std::vector<MSG> messages;
  for (int pass = 0; pass < 8; ++pass) {
    MSG message{};
    if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), 1);
      messages.push_back(message);
      DispatchMessageA(&message);
    }
    clock_.Advance(100);
  }
  struct Expected {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Expected expected[] = {
      {WM_MOUSEMOVE, 0, MakeMouseLParam(30, 40)},
      {WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseLParam(31, 41)},
      {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MakeMouseLParam(32, 42)},
      {WM_LBUTTONUP, MK_RBUTTON, MakeMouseLParam(33, 43)},
      // Of the keys going down the window hears only those without a character, then the
      // characters typed.
      {WM_KEYDOWN, VK_HOME, 0},
      {WM_CHAR, 97, 0},
      {WM_CLOSE, 0, 0},
  };
  ASSERT_EQ(messages.size(), std::size(expected));
  for (std::size_t i = 0; i < messages.size(); ++i) {
    EXPECT_EQ(messages[i].hwnd, window) << i;
    EXPECT_EQ(messages[i].message, expected[i].message) << i;
    EXPECT_EQ(messages[i].wParam, expected[i].wParam) << i;
    EXPECT_EQ(messages[i].lParam, expected[i].lParam) << i;
  }
  EXPECT_EQ(MakeMouseLParam(31, 41), 0x0029001F);

  DIDEVICEOBJECTDATA data{};
  DWORD count = 1;
  ASSERT_EQ(keyboard->GetDeviceData(sizeof(data), &data, &count, 0), DI_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(data.dwOfs, 0xB8u);
  EXPECT_EQ(data.dwData, 0x80u);
  EXPECT_EQ(data.dwTimeStamp, 1400u);  // script time 400 on a clock that started at 1000
  EXPECT_EQ(keyboard->Release(), 0u);
  EXPECT_EQ(input->Release(), 0u);
}

TEST_F(HeadlessBackendTest, MouseAndCloseWithoutAShownWindowAreLost) {
  UseScript({SimpleEvent(1000, BackendEventKind::kClose),
             SimpleEvent(1000, BackendEventKind::kMouseMove)});
  platform::PumpBackendEvents();
  MSG message{};
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(HeadlessBackendTest, AnUnreadableScriptGivesNoInputAndSaysWhy) {
  test_support::ScratchFolder folder("input");
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {{"/nonexistent/input.txt", "No such file or directory"},
               {folder.Path().string(), "it is a folder, not a file"}};
  for (const auto& c : cases) {
    test_support::ScopedEnvironment script("ARENA_INPUT_SCRIPT", c.path.c_str());
    test_support::ScopedEnvironment display("ARENA_DISPLAY", "plasma");
    testing::internal::CaptureStderr();
    auto backend = platform::CreateDisplayBackendFromEnvironment();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ARENA_DISPLAY=plasma: unknown display, running headless\n"
              "ARENA_INPUT_SCRIPT: cannot open " +
                  c.path + ": " + c.reason + "; running without input\n");
    EXPECT_FALSE(backend->NextEventTime());
  }
}

}  // namespace
