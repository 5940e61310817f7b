#include "platform/joystick/joystick.h"

#include <gtest/gtest.h>

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
