// The SDL2 module is loaded only when the SDL2 display is asked for: a headless process never maps
// SDL2.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/backend/display_backend.h"
#include "platform/dsound/sound_output.h"
#include "tests/support/scoped_environment.h"

namespace {

bool SdlMapped() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find("libSDL2") != std::string::npos ||
        line.find("platform_sdl.so") != std::string::npos) {
      return true;
    }
  }
  return false;
}

// Each case runs in a fresh process: another test of this program may have loaded the module.
class SdlModuleTest : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(SdlModuleTest, AHeadlessDisplayAndItsSoundNeverMapSdl) {
  EXPECT_EXIT(
      {
        test_support::ScopedEnvironment display("ARENA_DISPLAY", nullptr);
        const auto backend = platform::CreateDisplayBackendFromEnvironment();
        const auto sound = platform::OpenSoundOutput();
        std::exit(backend != nullptr && sound.output != nullptr && !SdlMapped() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(SdlModuleTest, AskingForTheSdlDisplayLoadsTheModule) {
  EXPECT_EXIT(
      {
        test_support::ScopedEnvironment display("ARENA_DISPLAY", "sdl");
        test_support::ScopedEnvironment driver("SDL_VIDEODRIVER", nullptr);
        test_support::ScopedEnvironment x11("DISPLAY", nullptr);
        test_support::ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
        const bool before = SdlMapped();
        const auto backend = platform::CreateDisplayBackendFromEnvironment();
        std::exit(!before && backend != nullptr && SdlMapped() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
