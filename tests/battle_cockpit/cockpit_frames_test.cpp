// The cockpit over the demo arena drawn through the software board, compared with reference
// pictures (ARENA_UPDATE_REFERENCES=1 rewrites them): the cockpit picture, the separate boxes
// and the small screen, each with a line of HUD text in its status line.
#include <gtest/gtest.h>

#include <string>

#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "battle/cockpit/cockpit.h"
#include "battle/ui/hud_text.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"
#include "tests/support/demo_arena_scene.h"
#include "tests/support/reference_picture.h"

namespace {

class CockpitFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene_.ok());
    gWorld = scene_.world();
    gGlideContext = scene_.glide();
    // As the session sets it: palette index 0 is see-through.
    r3xSetTransparentIndex(scene_.render(), 0);
    ASSERT_EQ(r3xGlideAttach(scene_.glide(), scene_.render(), scene_.palette()), 0);
  }
  void TearDown() override {
    cockpit_.Free();
    DeleteHudFont();
    gWorld = nullptr;
    gGlideContext = nullptr;
  }
  std::string Frame(CockpitLayout layout, int width, int height, int viewHeight, const char* name) {
    scene_.Place(test_support::kArenaPlacements[0], width, viewHeight);
    EXPECT_EQ(scene_.DrawFrame(), 0);
    CreateHudFont(width > 320 ? 14 : 10);
    cockpit_.Build(layout, width, height, ARENA_DEMO_GAME);
    cockpit_.Invalidate();
    cockpit_.SetCrosshairFrame(1);
    cockpit_.SetCrosshairReady(1);
    CPanel* status = cockpit_.slot(9);
    EXPECT_NE(status, nullptr);
    if (status != nullptr) {
      DrawHudText(status->dc(), "\aeStatus: all systems ready\n\ahsecond line", 2, 0);
    }
    cockpit_.Draw({.heading = test_support::kArenaPlacements[0].heading, .reconLamp = 1});
    return test_support::CompareWithReferencePicture(
        std::string(ARENA_COCKPIT_REFERENCE_DIR) + "/" + name + ".png", 0, 0, width, height);
  }

  test_support::DemoArenaScene scene_{ARENA_DEMO_PACK};
  CCockpit cockpit_;
};

TEST_F(CockpitFrames, CockpitPicture) {
  EXPECT_EQ(Frame(CockpitLayout::kCockpitPicture, 640, 480, 264, "cockpit_picture"), "");
}

TEST_F(CockpitFrames, SeparateBoxes) {
  EXPECT_EQ(Frame(CockpitLayout::kSeparateBoxes, 640, 480, 480, "cockpit_boxes"), "");
}

TEST_F(CockpitFrames, SmallScreen) {
  EXPECT_EQ(Frame(CockpitLayout::kSmall, 320, 240, 240, "cockpit_small"), "");
}

}  // namespace
