// The demo arena drawn through the software board from three fixed placements, compared with
// reference pictures of the 320 x 240 view (ARENA_UPDATE_REFERENCES=1 rewrites them).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/demo_arena_scene.h"
#include "tests/support/reference_picture.h"

namespace {

using test_support::ArenaPlacement;

class ArenaFrames : public ::testing::TestWithParam<ArenaPlacement> {};

TEST_P(ArenaFrames, MatchTheirReferencePictures) {
  test_support::DemoArenaScene scene(ARENA_DEMO_PACK);
  ASSERT_TRUE(scene.ok());
  scene.Place(GetParam(), 320, 240);
  ASSERT_EQ(scene.DrawFrame(), 0);
  const std::string path = std::string(ARENA_REFERENCE_DIR) + "/arena_" + GetParam().name + ".png";
  EXPECT_EQ(test_support::CompareWithReferencePicture(path, 0, 0, 320, 240), "");
}

INSTANTIATE_TEST_SUITE_P(Placements, ArenaFrames,
                         ::testing::ValuesIn(test_support::kArenaPlacements),
                         [](const ::testing::TestParamInfo<ArenaPlacement>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
