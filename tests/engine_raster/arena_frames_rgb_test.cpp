// The demo arena drawn through the colour drawer from the board's three reference placements,
// 320 x 240, in RGB565 and RGB555, compared with reference pictures (ARENA_UPDATE_REFERENCES=1
// rewrites them); the BGR forms draw the same colours with red and blue swapped in the pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/pixel16.h"
#include "tests/support/demo_arena_scene.h"
#include "tests/support/software_frame_driver.h"

namespace {

using test_support::ArenaPlacement;

constexpr std::int32_t kWidth = 320;
constexpr std::int32_t kHeight = 240;

struct Format {
  std::int32_t rgb;
  std::int32_t bgr;
  const char* name;
};
constexpr Format kFormats[] = {{2, 4, "rgb565"}, {1, 3, "rgb555"}};

class ArenaFramesRGB : public ::testing::TestWithParam<ArenaPlacement> {};

TEST_P(ArenaFramesRGB, MatchTheirReferencePictures) {
  test_support::DemoArenaScene scene(ARENA_DEMO_PACK);
  ASSERT_TRUE(scene.ok());
  scene.Place(GetParam(), kWidth, kHeight);
  for (const Format& format : kFormats) {
    SCOPED_TRACE(format.name);
    test_support::SoftwareFrameDriver driver(scene.world(), scene.palette(), kWidth, kHeight);
    ASSERT_TRUE(driver.ok());
    ASSERT_TRUE(driver.UseColourPath(format.rgb));
    ASSERT_EQ(driver.DrawFrame(scene.camera()), 0);
    EXPECT_GT(driver.facesDrawn(), 0u);
    EXPECT_EQ(driver.CompareWithReference(std::string(ARENA_REFERENCE_DIR) + "/arena_" +
                                          format.name + "_" + GetParam().name + ".png"),
              "");
    test_support::SoftwareFrameDriver swapped(scene.world(), scene.palette(), kWidth, kHeight);
    ASSERT_TRUE(swapped.UseColourPath(format.bgr));
    ASSERT_EQ(swapped.DrawFrame(scene.camera()), 0);
    const auto& a = driver.image16();
    const auto& b = swapped.image16();
    ASSERT_EQ(a.size(), b.size());
    const bool wide = format.rgb == 2;
    for (std::size_t i = 0; i < a.size(); ++i) {
      const std::uint32_t colour = wide ? arena::Widen565(a[i]) : arena::Widen555(a[i]);
      const std::uint32_t other =
          arena::SwapRedBlue(wide ? arena::Widen565(b[i]) : arena::Widen555(b[i]));
      ASSERT_EQ(colour, other) << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Placements, ArenaFramesRGB,
                         ::testing::ValuesIn(test_support::kArenaPlacements),
                         [](const ::testing::TestParamInfo<ArenaPlacement>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
