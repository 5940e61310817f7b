#include "battle/effects/palettes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/r3x.h"
#include "tests/support/scratch_folder.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/demo_palette.h"
#include "tools/mkdata/pack_writer.h"
#include "world_fixture.h"

namespace {

using mkdata::BmpImage;

constexpr int kFirstShared = 10;
constexpr int kLastShared = 245;

class PalettesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = MakeOneRoomWorld();
    ASSERT_NE(world_, nullptr);
    context_ = CreateRenderContext(0, nullptr);
    ASSERT_NE(context_, nullptr);
  }
  void TearDown() override {
    r3xDestroyRenderContext(nullptr, context_, 0);
    if (pack_ != nullptr) {
      r3xCloseWad(pack_);
    }
  }
  // Opens a pack of the named demo palettes.
  void OpenPack(const std::vector<std::string>& names) {
    std::vector<mkdata::PackMember> members;
    for (const std::string& name : names) {
      const BmpImage image = name == "palette.bmp" ? mkdata::MakeDemoPaletteImage()
                                                   : mkdata::MakeInfraRedPaletteImage();
      members.push_back({name, mkdata::BuildBmp(image)});
    }
    const std::string path = folder_.Write(
        "arena.r3x", mkdata::BuildPack(std::move(members), mkdata::PackLayout::kHeader));
    pack_ = r3xOpenWad(path.c_str(), 4);
    ASSERT_NE(pack_, nullptr);
  }
  PaletteTargets Targets() { return {world_.get(), pack_, context_, nullptr, 500.0f}; }

  test_support::ScratchFolder folder_{"palettes"};
  WorldPtr world_;
  R3xRenderContext* context_ = nullptr;
  R3xWad* pack_ = nullptr;
  CPalettes palettes_;
};

TEST_F(PalettesTest, LoadsBothPalettesShowsTheNormalOneAndAttachesItsShadeTable) {
  OpenPack({"palette.bmp", "pal_Infr.bmp"});
  ASSERT_EQ(r3xSetFogMode(context_, R3X_FOG_MODE_1, 100.0f), R3X_FOG_NOT_READY);
  ASSERT_EQ(palettes_.LoadPalettes(Targets()), 0u);
  ASSERT_NE(palettes_.Normal(), nullptr);
  ASSERT_NE(palettes_.InfraRed(), nullptr);
  EXPECT_EQ(palettes_.Current(), palettes_.Normal());
  EXPECT_TRUE(palettes_.ReselectPending());
  EXPECT_FALSE(palettes_.PaletteDirty());
  EXPECT_EQ(context_->shadeTable, palettes_.ShadeTable());
  EXPECT_EQ(context_->fogMode, R3X_FOG_OFF);
  const BmpImage normal = mkdata::MakeDemoPaletteImage();
  for (int i = kFirstShared; i <= kLastShared; ++i) {
    EXPECT_EQ(palettes_.Normal()->entries[i].peRed, normal.colours[i].red) << i;
    EXPECT_EQ(palettes_.Normal()->entries[i].peBlue, normal.colours[i].blue) << i;
  }
  EXPECT_EQ(world_->palettes.count, 2u);
}

TEST_F(PalettesTest, TheInfraRedViewShowsBrighterThingsHotter) {
  OpenPack({"palette.bmp", "pal_Infr.bmp"});
  ASSERT_EQ(palettes_.LoadPalettes(Targets()), 0u);
  // The first ramp runs from near black to near white.
  const PALETTEENTRY* heat = palettes_.InfraRed()->entries;
  EXPECT_LT(heat[kFirstShared].peRed, 32);
  EXPECT_GT(heat[kFirstShared + 28].peBlue, 200);
  for (int i = kFirstShared; i < kFirstShared + 28; ++i) {
    EXPECT_LE(heat[i].peRed + heat[i].peGreen + heat[i].peBlue,
              heat[i + 1].peRed + heat[i + 1].peGreen + heat[i + 1].peBlue)
        << i;
    EXPECT_GE(heat[i].peRed, heat[i].peBlue) << i;
  }
}

TEST_F(PalettesTest, InfraRedSwitchesTheShownPaletteAndMarksItDirty) {
  OpenPack({"palette.bmp", "pal_Infr.bmp"});
  ASSERT_EQ(palettes_.LoadPalettes(Targets()), 0u);
  palettes_.SetInfraRed(1);
  EXPECT_EQ(palettes_.Current(), palettes_.InfraRed());
  EXPECT_TRUE(palettes_.PaletteDirty());
  palettes_.ClearPaletteDirty();
  palettes_.SetInfraRed(0);
  EXPECT_EQ(palettes_.Current(), palettes_.Normal());
  EXPECT_TRUE(palettes_.PaletteDirty());
}

TEST_F(PalettesTest, ReloadingReplacesWhatTheWorldHeld) {
  OpenPack({"palette.bmp", "pal_Infr.bmp"});
  ASSERT_EQ(palettes_.LoadPalettes(Targets()), 0u);
  palettes_.SetInfraRed(1);
  ASSERT_EQ(palettes_.LoadPalettes(Targets()), 0u);
  EXPECT_EQ(palettes_.Current(), palettes_.Normal());
  EXPECT_EQ(world_->palettes.count, 2u);
  EXPECT_EQ(context_->shadeTable, palettes_.ShadeTable());
  palettes_.Destroy(world_.get());
  EXPECT_EQ(world_->palettes.count, 0u);
  EXPECT_EQ(palettes_.Current(), nullptr);
}

TEST_F(PalettesTest, AMissingInfraRedPaletteFailsButKeepsTheNormalOne) {
  OpenPack({"palette.bmp"});
  EXPECT_EQ(palettes_.LoadPalettes(Targets()), 1u);
  EXPECT_NE(palettes_.Normal(), nullptr);
  EXPECT_EQ(palettes_.Current(), palettes_.Normal());
  EXPECT_EQ(palettes_.InfraRed(), nullptr);
  EXPECT_EQ(palettes_.ShadeTable(), nullptr);
  EXPECT_EQ(context_->shadeTable, nullptr);
  EXPECT_FALSE(palettes_.ReselectPending());
}

TEST_F(PalettesTest, AMissingNormalPaletteFailsWithNothingMade) {
  OpenPack({"pal_Infr.bmp"});
  EXPECT_EQ(palettes_.LoadPalettes(Targets()), 1u);
  EXPECT_EQ(palettes_.Current(), nullptr);
  EXPECT_EQ(world_->palettes.count, 0u);
}

}  // namespace
