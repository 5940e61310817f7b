#include "platform/joystick/joystick.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class JoystickTest : public ::testing::Test {
 protected:
  ~JoystickTest() override { platform::SetJoystick(0, std::nullopt); }
};

TEST_F(JoystickTest, ASlotWithoutAStickIsUnplugged) {
  EXPECT_EQ(joyGetNumDevs(), kJoystickSlots);
  JOYINFO info{};
  JOYCAPSA caps{};
  EXPECT_EQ(joyGetPos(0, &info), JOYERR_UNPLUGGED);
  EXPECT_EQ(joyGetDevCapsA(1, &caps, sizeof(caps)), JOYERR_UNPLUGGED);
}

TEST_F(JoystickTest, AnAttachedStickAnswersItsPositionAndCapabilities) {
  platform::SetJoystick(0, platform::AttachedJoystick{{10, 1000, 20, 2000, 4}, {500, 600, 0, 3}});
  JOYINFO info{};
  JOYCAPSA caps{};
  ASSERT_EQ(joyGetPos(0, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.wXpos, 500u);
  EXPECT_EQ(info.wButtons, 3u);
  ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps)), JOYERR_NOERROR);
  EXPECT_EQ(caps.wXmax, 1000u);
  EXPECT_EQ(caps.wNumButtons, 4u);
}

TEST_F(JoystickTest, TheExtendedPositionFillsTheFieldsAskedFor) {
  platform::SetJoystick(
      0, platform::AttachedJoystick{{0, 100, 0, 100, 32}, {10, 20, 0, 1}, 18000, 0x80000001});
  struct Case {
    DWORD flags;
    JOYINFOEX expected;
  };
  for (const Case c : {
           Case{0xC3, {52, 0xC3, 10, 20, 0, 0, 0, 0, 0x80000001, 0, 18000}},
           Case{JOY_RETURNX, {52, JOY_RETURNX, 10}},
           Case{JOY_RETURNPOV, {52, JOY_RETURNPOV, 0, 0, 0, 0, 0, 0, 0, 0, 18000}},
       }) {
    JOYINFOEX info{};
    std::memset(static_cast<void*>(&info), 0x5A, sizeof info);
    info.dwSize = sizeof info;
    info.dwFlags = c.flags;
    ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
    EXPECT_EQ(std::memcmp(&info, &c.expected, sizeof info), 0) << c.flags;
  }
  JOYINFOEX info{sizeof(JOYINFOEX) - 4, 0xC3};
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_PARMS);
  info.dwSize = sizeof(JOYINFOEX);
  EXPECT_EQ(joyGetPosEx(1, &info), JOYERR_UNPLUGGED);
  EXPECT_EQ(joyGetPosEx(kJoystickSlots, &info), JOYERR_PARMS);
}

TEST_F(JoystickTest, BadArgumentsAreRefused) {
  platform::SetJoystick(0, platform::AttachedJoystick{});
  JOYINFO info{};
  JOYCAPSA caps{};
  EXPECT_EQ(joyGetPos(kJoystickSlots, &info), JOYERR_PARMS);
  EXPECT_EQ(joyGetPos(0, nullptr), JOYERR_PARMS);
  EXPECT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps) - 1), JOYERR_PARMS);
  platform::SetJoystick(kJoystickSlots, platform::AttachedJoystick{});  // ignored
}

}  // namespace
