// ARENA_DISPLAY=sdl where no window can be shown: one line says why, and the game runs headless.
#include <gtest/gtest.h>

#include <string>

#include "platform/backend/display_backend.h"
#include "tests/support/scoped_environment.h"

namespace {

struct DisplayCase {
  const char* name;
  const char* display;         // DISPLAY
  const char* waylandDisplay;  // WAYLAND_DISPLAY
};

class DisplayChoiceTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayChoiceTest, FallsBackToHeadlessWithOneLine) {
  const DisplayCase& c = GetParam();
  test_support::ScopedEnvironment choice("ARENA_DISPLAY", "sdl");
  test_support::ScopedEnvironment driver("SDL_VIDEODRIVER", nullptr);
  test_support::ScopedEnvironment x11("DISPLAY", c.display);
  test_support::ScopedEnvironment wayland("WAYLAND_DISPLAY", c.waylandDisplay);
  test_support::ScopedEnvironment runtime("XDG_RUNTIME_DIR", nullptr);
  test_support::ScopedEnvironment script("ARENA_INPUT_SCRIPT", nullptr);
  testing::internal::CaptureStderr();
  const auto backend = platform::CreateDisplayBackendFromEnvironment();
  const std::string notices = testing::internal::GetCapturedStderr();

  ASSERT_NE(backend, nullptr);
  EXPECT_FALSE(backend->NextEventTime()) << "headless, without a script";
  EXPECT_TRUE(notices.starts_with("ARENA_DISPLAY=sdl: ")) << notices;
  EXPECT_TRUE(notices.ends_with("; running headless\n")) << notices;
  EXPECT_EQ(notices.find('\n'), notices.size() - 1) << "one line only: " << notices;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayChoiceTest,
    ::testing::Values(DisplayCase{"NoDisplaySet", nullptr, nullptr},
                      // An X display that no server answers: a socket path that is not there.
                      DisplayCase{"UnreachableX11Display", "unix:/nonexistent/x11", nullptr},
                      DisplayCase{"WaylandWithoutItsRuntimeFolder", nullptr, "wayland-0"}),
    [](const ::testing::TestParamInfo<DisplayCase>& info) { return info.param.name; });

// Without a display of any kind the line names what is missing.
TEST(DisplayChoiceTest, SaysThatNoDisplayIsSet) {
  test_support::ScopedEnvironment choice("ARENA_DISPLAY", "sdl");
  test_support::ScopedEnvironment driver("SDL_VIDEODRIVER", nullptr);
  test_support::ScopedEnvironment x11("DISPLAY", nullptr);
  test_support::ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
  testing::internal::CaptureStderr();
  platform::CreateDisplayBackendFromEnvironment();
  const std::string notices = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(notices ==
                  "ARENA_DISPLAY=sdl: no display to open (DISPLAY and WAYLAND_DISPLAY are "
                  "not set); running headless\n" ||
              notices.starts_with("ARENA_DISPLAY=sdl: this build has no SDL2 window"))
      << notices;
}

}  // namespace
