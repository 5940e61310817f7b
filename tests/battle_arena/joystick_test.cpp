#include "battle/arena/joystick.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/joystick/joystick.h"

namespace {

platform::AttachedJoystick Stick(UINT xMin, UINT xMax) {
  return {JOYCAPSA{xMin, xMax, 0, 65535, 4}, JOYINFO{32767, 32767, 0, 0}};
}

struct DetectCase {
  const char* name;
  std::optional<platform::AttachedJoystick> first;
  std::optional<platform::AttachedJoystick> second;
  JoystickRecord expected;
};

class DetectJoystickTest : public ::testing::TestWithParam<DetectCase> {
 protected:
  ~DetectJoystickTest() override {
    platform::SetJoystick(0, std::nullopt);
    platform::SetJoystick(1, std::nullopt);
    gJoystick = JoystickRecord{};
  }
};

TEST_P(DetectJoystickTest, RecordsTheFirstPluggedStickWithADeadZone) {
  const DetectCase& c = GetParam();
  platform::SetJoystick(0, c.first);
  platform::SetJoystick(1, c.second);
  gJoystick = JoystickRecord{1, 7, 7};
  DetectJoystick();
  EXPECT_EQ(gJoystick.usable, c.expected.usable);
  EXPECT_EQ(gJoystick.id, c.expected.id);
  EXPECT_EQ(gJoystick.deadZone, c.expected.deadZone);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectJoystickTest,
    ::testing::Values(DetectCase{"None", std::nullopt, std::nullopt, {0, 0, 0}},
                      DetectCase{"First", Stick(0, 65535), Stick(0, 6400), {1, 0, 1023}},
                      DetectCase{"OnlySecond", std::nullopt, Stick(100, 6500), {1, 1, 100}},
                      // Too narrow a range for a dead zone: not usable, and the second stick
                      // is not looked at.
                      DetectCase{"NarrowFirst", Stick(0, 63), Stick(0, 65535), {0, 0, 0}},
                      DetectCase{"BackwardsRange", Stick(65535, 0), std::nullopt, {0, 0, 0}}),
    [](const auto& info) { return info.param.name; });

TEST(DisableJoystickTest, ClearsOnlyTheUsableFlag) {
  gJoystick = JoystickRecord{1, 1, 50};
  DisableJoystick();
  EXPECT_EQ(gJoystick.usable, 0u);
  EXPECT_EQ(gJoystick.deadZone, 50u);
  gJoystick = JoystickRecord{};
}

}  // namespace
