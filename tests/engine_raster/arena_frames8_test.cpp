// The demo arena drawn through the 8-bit drawer from the board's three reference placements,
// 320 x 240, compared with reference pictures (ARENA_UPDATE_REFERENCES=1 rewrites them): as the
// world's faces ask (exact texturing), with every textured face drawn affine, and in perspective
// every 16 pixels with depth-sorted runs.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/demo_arena_scene.h"
#include "tests/support/software_frame_driver.h"

namespace {

using test_support::ArenaPlacement;

constexpr std::uint32_t kAffineKind = 4;
constexpr std::uint32_t kPerspectiveKind = 5;

class ArenaFrames8 : public ::testing::TestWithParam<ArenaPlacement> {};

TEST_P(ArenaFrames8, MatchTheirReferencePictures) {
  test_support::DemoArenaScene scene(ARENA_DEMO_PACK);
  ASSERT_TRUE(scene.ok());
  scene.Place(GetParam(), 320, 240);
  test_support::SoftwareFrameDriver driver(scene.world(), scene.palette(), 320, 240);
  ASSERT_TRUE(driver.ok());
  ASSERT_EQ(driver.DrawFrame(scene.camera()), 0);
  EXPECT_GT(driver.facesDrawn(), 0u);
  const std::string name = GetParam().name;
  EXPECT_EQ(
      driver.CompareWithReference(std::string(ARENA_REFERENCE_DIR) + "/arena8_" + name + ".png"),
      "");
  driver.ReplaceTextureKind(kAffineKind);
  ASSERT_EQ(driver.DrawFrame(scene.camera()), 0);
  EXPECT_EQ(driver.CompareWithReference(std::string(ARENA_REFERENCE_DIR) + "/arena8_" + name +
                                        "_affine.png"),
            "");
  driver.ReplaceTextureKind(kPerspectiveKind);
  driver.SetDepthSorting(true);
  ASSERT_EQ(driver.DrawFrame(scene.camera()), 0);
  EXPECT_EQ(driver.CompareWithReference(std::string(ARENA_REFERENCE_DIR) + "/arena8_" + name +
                                        "_sorted.png"),
            "");
}

INSTANTIATE_TEST_SUITE_P(Placements, ArenaFrames8,
                         ::testing::ValuesIn(test_support::kArenaPlacements),
                         [](const ::testing::TestParamInfo<ArenaPlacement>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
