#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "battle/screens/design_layout.h"
#include "engine/r3x.h"
#include "tests/support/scratch_folder.h"
#include "tools/mkdata/demo_design.h"
#include "tools/mkdata/pack_writer.h"

namespace {

TEST(DesignImagesTest, EveryPictureTheScreenNamesIsMadeToItsPlace) {
  std::map<std::string, mkdata::BmpImage> images;
  for (auto& [name, image] : mkdata::MakeDesignImages()) {
    EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.width) * image.height) << name;
    images[name] = std::move(image);
  }
  // Buttons and arrows are their pieces' size, the gauge two looks wide, the pictures five frames.
  const struct {
    const DesignPiece* piece;
    std::uint32_t looks;
  } pieces[] = {
      {&kDesignBackground, 1},
      {&kPreviousChassisButton, 1},
      {&kNextChassisButton, 1},
      {&kScrollUpPiece, 1},
      {&kScrollDownPiece, 1},
      {&kScrollThumbPiece, 1},
      {&kDoneButton, 1},
      {&kApplyButton, 1},
      {&kSaveButton, 1},
      {&kConfigurationButtons[0], 1},
      {&kConfigurationButtons[1], 1},
      {&kConfigurationButtons[2], 1},
      {&kBatteryGauge, 2},
      {&kArmorPicture, 5},
      {&kTurretPicture, 5},
  };
  std::size_t named = 0;
  for (const auto& p : pieces) {
    for (const char* bitmap : {p.piece->bitmap, p.piece->pressedBitmap}) {
      if (bitmap == nullptr) {
        continue;
      }
      ASSERT_EQ(images.count(bitmap), 1u) << bitmap;
      EXPECT_EQ(images[bitmap].width, static_cast<std::uint32_t>(p.piece->width) * p.looks)
          << bitmap;
      EXPECT_EQ(images[bitmap].height, static_cast<std::uint32_t>(p.piece->height)) << bitmap;
      ++named;
    }
  }
  EXPECT_GE(named, images.size());
}

TEST(DesignImagesTest, ThePackOpensWithTheBackgroundsPalette) {
  std::vector<mkdata::PackMember> members;
  for (const auto& [name, image] : mkdata::MakeDesignImages()) {
    members.push_back({name, mkdata::BuildBmp(image)});
  }
  test_support::ScratchFolder folder;
  const std::string path =
      folder.Write("Design.r3x", mkdata::BuildPack(members, mkdata::PackLayout::kHeader));
  R3xWad* archive = r3xOpenWad(path.c_str(), 2);
  ASSERT_NE(archive, nullptr);
  R3xPalette* palette = r3xCreatePalette(nullptr, archive, kDesignBackground.bitmap, 1);
  EXPECT_NE(palette, nullptr);
  r3xDestroyPalette(nullptr, palette);
  r3xCloseWad(archive);
}

}  // namespace
