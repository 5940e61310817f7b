#include "battle/arena/player_input_poll.h"

#include <gtest/gtest.h>

#include <vector>

#include "battle/arena/built_in_key_bindings.h"
#include "battle/arena/chat_line.h"
#include "battle/arena/input_event.h"
#include "battle/arena/key_binding.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "host/interface/host_record.h"
#include "host/keyboard_device.h"
#include "host/process_record.h"
#include "platform/dinput.h"
#include "platform/kernel/clock.h"
#include "platform/win32.h"
#include "tests/support/scoped_window_system.h"

namespace {

constexpr std::uint32_t kNone = 0x1001;

InputEvent Command(std::int32_t command) {
  return {kInputCommand, static_cast<std::uint32_t>(command)};
}
InputEvent Key(std::uint32_t kind, int scanCode) {
  return {kind, static_cast<std::uint32_t>(scanCode)};
}

class PlayerInputPollTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.window = test_support::CreateShownWindow("input_poll_wc", DefWindowProcA);
    ASSERT_NE(host_.window, nullptr);
    gHostRecord = &host_;
    ASSERT_TRUE(OpenKeyboardDevice(host_.keyboard));
    InitGameParams();
    gFrameTime = 50000;
    tank_.mailbox = &tankMailbox_;
    tank_.keyboard = &host_.keyboard;
    tank_.bindings = kBuiltInKeyBindings.data();
    tank_.chat = &chat_;
    tank_.quitTime = &quitTime_;
    tank_.joystickCaps = {0, 200, 0, 200, 32};
  }

  void TearDown() override {
    platform::SetJoystick(0, std::nullopt);
    CloseKeyboardDevice(host_.keyboard);
    gHostRecord = nullptr;
  }

  void Press(int scanCode) { platform::DeliverKeyToKeyboards(scanCode, true, timeGetTime()); }
  void Release(int scanCode) { platform::DeliverKeyToKeyboards(scanCode, false, timeGetTime()); }

  // One frame's poll, and the events it posted.
  std::vector<InputEvent> Poll() {
    PollPlayerInput(tank_, state_);
    std::vector<InputEvent> events;
    std::uint32_t length = 0;
    while (const MailboxMessagePtr message = input_.Receive(length)) {
      EXPECT_EQ(message->type, MSG_INPUT_EVENT);
      EXPECT_EQ(length, kInputEventBytes);
      events.push_back(ReadInputEvent(message->Bytes()));
    }
    return events;
  }

  // The stick at (x, y) with the hat and buttons, read at the next poll.
  void SetStick(UINT x, UINT y, DWORD pov = JOY_POVCENTERED, DWORD buttons = 0) {
    tank_.joystickPresent = true;
    platform::SetJoystick(
        0, platform::AttachedJoystick{tank_.joystickCaps, {x, y, 0, 0}, pov, buttons});
    clock_.Advance(200);
  }

  platform::VirtualClock clock_{1000};
  platform::ScopedProcessClock scopedClock_{clock_};
  test_support::ScopedWindowSystem windowSystem_;
  HostRecord host_{};
  CMailbox input_{kPlayerInputAddress};
  CMailbox network_{kNetworkAddress};
  CMailbox tankMailbox_{KIND_TANK | 1};
  CChatLine chat_{tankMailbox_, 6};
  std::uint32_t quitTime_ = 0;
  PlayerInputTank tank_;
  PlayerInputPollState state_;
};

TEST_F(PlayerInputPollTest, ElevenBufferedKeysGiveTenEventsThisFrameAndOneTheNext) {
  const int keys[] = {DIK_1, DIK_2, DIK_3, DIK_4, DIK_5, DIK_6, DIK_7, DIK_A, DIK_B, DIK_C, DIK_D};
  for (const int key : keys) {
    Press(key);
  }
  const std::vector<InputEvent> first = Poll();
  ASSERT_EQ(first.size(), 10u);
  EXPECT_EQ(first[0], Command(0x1057));
  EXPECT_EQ(first[9], Command(0x102D));                         // C: Swivel Right
  EXPECT_EQ(Poll(), std::vector<InputEvent>{Command(0x1044)});  // D: Deactivator
  EXPECT_TRUE(Poll().empty());
}

TEST_F(PlayerInputPollTest, ShiftF1WithTheChatLineOpenPlaysMacroOne) {
  ChatMacros macros;
  macros[0] = "hello";
  chat_.Open(false);
  Press(DIK_LSHIFT);
  Press(DIK_F1);
  Release(DIK_F1);
  Release(DIK_LSHIFT);
  const std::vector<InputEvent> events = Poll();
  EXPECT_EQ(events, (std::vector<InputEvent>{Key(kInputKeyPress, DIK_F1), Command(0x1086),
                                             Key(kInputKeyRelease, DIK_F1), Command(kNone)}));
  // The tank performs the macro commands 0x1086 to 0x108D by playing macros 0 to 7.
  for (const InputEvent& event : events) {
    if (event.kind == kInputCommand && event.value >= 0x1086 && event.value <= 0x108D) {
      chat_.PlayChatMacro(macros, static_cast<int>(event.value - 0x1086));
    }
  }
  EXPECT_EQ(chat_.Text(), "hello");
}

TEST_F(PlayerInputPollTest, AReleaseAfterShiftWasLetGoFindsTheUnshiftedBinding) {
  const std::vector<KeyBinding> table = {
      {0, {{{DIK_K, kKeyboardDevice, kShift}, kNoChord, kNoChord}}, 0, 0x1040, 0x1041},
      {0, {{{DIK_K, kKeyboardDevice, 0}, kNoChord, kNoChord}}, 0, 0x1050, 0x1051},
      {-1, {kNoChord, kNoChord, kNoChord}, 0, 0, 0}};
  tank_.bindings = table.data();
  Press(DIK_RSHIFT);
  Press(DIK_K);
  Release(DIK_RSHIFT);
  Release(DIK_K);
  EXPECT_EQ(Poll(), (std::vector<InputEvent>{Command(0x1040), Command(0x1051)}));
}

TEST_F(PlayerInputPollTest, TheStickTurnsAndDrivesThroughItsDeadAndFullBands) {
  struct Case {
    UINT position;  // 100 is the centre, 0 full left or forward
    std::int32_t value;
  };
  for (const Case c : {
           Case{50, 50},    // half way to the left
           Case{75, 0},     // a quarter
           Case{100, 0},    // the centre
           Case{70, 10},    // 30 %
           Case{20, 100},   // beyond three quarters
           Case{0, 100},    // full
           Case{150, -50},  // half way to the right: the offset is negative
           Case{180, -100},
           Case{200, -100},
       }) {
    SetStick(c.position, c.position);
    Poll();
    EXPECT_EQ(state_.stickTurn, c.value) << c.position;
    EXPECT_EQ(state_.stickThrottle, c.value) << c.position;
  }
}

TEST_F(PlayerInputPollTest, AnAxisWithoutARangeIsLeftAlone) {
  tank_.joystickCaps = {100, 100, 0, 200, 32};
  SetStick(20, 20);
  Poll();
  EXPECT_EQ(state_.stickTurn, 0);
  EXPECT_EQ(state_.stickThrottle, 100);
}

TEST_F(PlayerInputPollTest, TheJoystickIsReadAtMostEvery125Milliseconds) {
  SetStick(100, 100, 0);
  EXPECT_EQ(Poll(), std::vector<InputEvent>{Command(0x102A)});  // hat forward: Raise
  platform::SetJoystick(0, platform::AttachedJoystick{tank_.joystickCaps, {100, 100, 0, 0}, 18000});
  clock_.Advance(125);
  EXPECT_TRUE(Poll().empty());
  clock_.Advance(1);
  EXPECT_EQ(Poll(), (std::vector<InputEvent>{Command(0x105E), Command(0x102B)}));
}

TEST_F(PlayerInputPollTest, ADiagonalHatCountsAsCentredAndReleasesTheLastDirection) {
  SetStick(100, 100, 9000);
  EXPECT_EQ(Poll(), std::vector<InputEvent>{Command(0x102D)});  // right: Swivel Right
  SetStick(100, 100, 4500);
  EXPECT_EQ(Poll(), std::vector<InputEvent>{Command(0x105F)});
  SetStick(100, 100);
  EXPECT_TRUE(Poll().empty());
}

TEST_F(PlayerInputPollTest, ButtonsPostTheirBindingsOnEachChange) {
  SetStick(100, 100, JOY_POVCENTERED, 0b1001);
  EXPECT_EQ(Poll(), (std::vector<InputEvent>{Command(0x1037), Command(0x102F)}));
  SetStick(100, 100, JOY_POVCENTERED, 0b1000);
  EXPECT_EQ(Poll(), std::vector<InputEvent>{Command(0x1038)});
  // The modifiers count from the poll that reads them.
  Press(DIK_LCONTROL);
  EXPECT_TRUE(Poll().empty());
  SetStick(100, 100, JOY_POVCENTERED, 0b1010);  // Ctrl+button 1: Guided
  EXPECT_EQ(Poll(), std::vector<InputEvent>{Command(0x1042)});
}

TEST_F(PlayerInputPollTest, AltQArmsTheQuitOnlyWithAltAlone) {
  struct Case {
    std::vector<int> held;
    bool armed;
  };
  for (const Case& c : {Case{{DIK_LMENU}, true}, Case{{DIK_RMENU}, true},
                        Case{{DIK_LMENU, DIK_RMENU}, true}, Case{{DIK_LMENU, DIK_LCONTROL}, false},
                        Case{{DIK_RMENU, DIK_RSHIFT}, false}, Case{{}, false}}) {
    quitTime_ = 0;
    for (const int key : c.held) {
      Press(key);
    }
    Press(DIK_Q);
    Release(DIK_Q);
    for (const int key : c.held) {
      Release(key);
    }
    Poll();
    EXPECT_EQ(quitTime_, c.armed ? 50000u + 5000u : 0u) << c.held.size();
  }
}

TEST_F(PlayerInputPollTest, AnArmedQuitReadsNothing) {
  quitTime_ = 1;
  Press(DIK_1);
  EXPECT_TRUE(Poll().empty());
  quitTime_ = 0;
  EXPECT_EQ(Poll(), std::vector<InputEvent>{Command(0x1057)});
}

TEST_F(PlayerInputPollTest, ASlashInTeamChatSendsAChatCommand) {
  Press(DIK_APOSTROPHE);  // Team Message
  Release(DIK_APOSTROPHE);
  for (const int key : {DIK_SLASH, DIK_W, DIK_RETURN}) {
    Press(key);
    Release(key);
  }
  const std::vector<InputEvent> events = Poll();
  // The tank types the characters into the line.
  for (const InputEvent& event : events) {
    if (event.kind == kInputCharacter) {
      chat_.ChatLineKey(static_cast<std::int32_t>(event.value));
    }
  }
  std::uint32_t length = 0;
  const MailboxMessagePtr sent = network_.Receive(length);
  ASSERT_NE(sent, nullptr);
  EXPECT_EQ(sent->type, MSG_CHAT_COMMAND);
  EXPECT_EQ(std::string(sent->Payload(), sent->Payload() + length), std::string("/w\0", 3));
  // The line was open for the apostrophe's release: a key without a character, which goes on to
  // its binding too.
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0], Key(kInputKeyRelease, DIK_APOSTROPHE));
  EXPECT_EQ(events[1], Command(kNone));
}

TEST_F(PlayerInputPollTest, ALostKeyboardIsAcquiredAgainAndItsEventLost) {
  Press(DIK_1);
  platform::SetApplicationFocus(false);
  platform::SetApplicationFocus(true);
  Press(DIK_2);
  EXPECT_TRUE(Poll().empty());
  Press(DIK_3);
  EXPECT_EQ(Poll(), std::vector<InputEvent>{Command(0x1054)});
}

TEST_F(PlayerInputPollTest, RestrictedBindingsNeedTheRestrictedKeys) {
  Press(DIK_8);
  EXPECT_TRUE(Poll().empty());
  tank_.restrictedKeys = true;
  Press(DIK_8);
  EXPECT_EQ(Poll(), std::vector<InputEvent>{Command(0x1045)});
}

TEST_F(PlayerInputPollTest, ScreensTakeKeysAndCharactersOnly) {
  tank_.screenKeys = true;
  Press(DIK_LSHIFT);
  Press(DIK_A);
  Release(DIK_A);
  EXPECT_EQ(Poll(),
            (std::vector<InputEvent>{
                {kInputCharacter, 'A'}, Key(kInputKeyPress, DIK_A), Key(kInputKeyRelease, DIK_A)}));
}

TEST_F(PlayerInputPollTest, ArrowsSteerTheGuidedMissile) {
  tank_.steeringMissile = true;
  Press(DIK_UP);
  Press(DIK_RIGHT);
  EXPECT_TRUE(Poll().empty());
  EXPECT_EQ(state_.missilePitch, -1);
  EXPECT_EQ(state_.missileTurn, 1);
  EXPECT_FLOAT_EQ(state_.missileTurnRate, -4.0f);
  EXPECT_FLOAT_EQ(state_.missilePitchRate, -2.0f);
  Release(DIK_UP);
  Poll();
  EXPECT_EQ(state_.missilePitch, 0);
  EXPECT_FLOAT_EQ(state_.missilePitchRate, 0.0f);
  Press(DIK_SPACE);
  Poll();
  EXPECT_EQ(state_.missileTurn, 0);
  EXPECT_FLOAT_EQ(state_.missileTurnRate, 0.0f);
}

TEST_F(PlayerInputPollTest, TheStickSteersTheGuidedMissileWhileNoArrowIsHeld) {
  tank_.steeringMissile = true;
  SetStick(150, 20);  // half right, far forward
  Poll();
  EXPECT_FLOAT_EQ(state_.missileTurnRate, -4.0f * 50 * 0.01f);
  EXPECT_FLOAT_EQ(state_.missilePitchRate, -2.0f * 100 * 0.01f);
  EXPECT_EQ(state_.stickTurn, 0);
}

}  // namespace
