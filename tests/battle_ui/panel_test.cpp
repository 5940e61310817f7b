#include "battle/ui/panel.h"

#include <vector>

#include "tests/battle_cockpit/cockpit_fixture.h"

namespace {

using PanelTest = CockpitTest;

TEST_F(PanelTest, BlankPanelStartsDirtyWithEveryPixelOne) {
  CPanel panel(0, 0, 47, 9);
  ASSERT_EQ(panel.Place(100, 200, -1), 1);
  EXPECT_TRUE(panel.created());
  EXPECT_TRUE(panel.dirty());
  EXPECT_FALSE(panel.keyed());
  EXPECT_EQ(panel.source().right, 47);
  EXPECT_EQ(panel.destination().left, 100);
  EXPECT_EQ(panel.destination().top, 200);
  EXPECT_EQ(panel.destination().right, 147);
  EXPECT_EQ(panel.destination().bottom, 209);
  const int stored = panel.rowLength() * panel.height();
  for (int i = 0; i < stored; ++i) {
    ASSERT_EQ(panel.pixels()[i], 1) << i;
  }
}

TEST_F(PanelTest, KeyFromPlacement) {
  struct Case {
    int key;
    bool keyed;
  };
  for (const Case c : {Case{-1, false}, Case{0, true}, Case{1, true}}) {
    CPanel panel(0, 0, 4, 4);
    ASSERT_EQ(panel.Place(0, 0, c.key), 1);
    EXPECT_EQ(panel.keyed(), c.keyed) << c.key;
  }
}

TEST_F(PanelTest, DrawCountdownWritesTwoFramesAfterAChangeAndEveryFrameWhenForced) {
  struct Case {
    int force;
    bool dirtyAgainOnFrame3;
    std::vector<bool> written;
  };
  const Case cases[] = {
      {0, false, {true, true, false, false}},
      {0, true, {true, true, false, true}},
      {1, false, {true, true, true, true}},
  };
  for (const Case& c : cases) {
    CPanel panel(0, 0, 8, 8);
    ASSERT_EQ(panel.Place(10, 20, -1), 1);
    for (std::size_t frame = 0; frame < c.written.size(); ++frame) {
      if (frame == 3 && c.dirtyAgainOnFrame3) {
        panel.SetDirty();
      }
      ClearBack();
      panel.Draw(c.force);
      EXPECT_EQ(BackPixel(12, 22) != kBackground, c.written[frame])
          << "force " << c.force << " frame " << frame;
    }
  }
}

TEST_F(PanelTest, DrawDoesNothingBeforeCreate) {
  CPanel panel(0, 0, 8, 8);
  panel.Draw(1);
  EXPECT_EQ(BackPixel(2, 2), kBackground);
}

// GDI and the engine image must agree on every row, odd widths included, or text slants.
TEST_F(PanelTest, GdiPixelsLandWhereTheImageShowsThemAtOddWidths) {
  for (const int width : {29, 47, 48}) {
    CPanel panel(0, 0, width, 10);
    ASSERT_EQ(panel.Place(0, 0, -1), 1);
    SetBkColor(panel.dc(), RGB(255, 255, 0));
    const RECT mark{width - 3, 7, width - 2, 8};
    ASSERT_TRUE(ExtTextOutA(panel.dc(), 0, 0, ETO_OPAQUE, &mark, "", 0, nullptr));
    ClearBack();
    panel.Draw(1);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < width; ++x) {
        const bool marked = x == width - 3 && y == 7;
        EXPECT_EQ(BackPixel(x, y) == BackPixel(0, 0), !marked)
            << "width " << width << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(PanelTest, BlitToClearsTheSourceDirtyFlagOnlyAndCopiesNonZeroPixels) {
  CPanel target(0, 0, 16, 16);
  ASSERT_EQ(target.Place(0, 0, -1), 1);
  target.Draw(0);
  ASSERT_FALSE(target.dirty());
  CPanel source(0, 0, 4, 4);
  ASSERT_EQ(source.Place(5, 6, -1), 1);
  source.pixels()[0] = 0;
  source.pixels()[1] = 0x7C00;
  source.BlitTo(0, &target);
  EXPECT_FALSE(source.dirty());
  EXPECT_FALSE(target.dirty());
  // The last stored row is the top one: stored pixel 1 of the source's bottom row.
  const int row = 16 - 1 - (6 + 3);
  EXPECT_EQ(target.pixels()[row * target.rowLength() + 6], 0x7C00);
  EXPECT_EQ(target.pixels()[row * target.rowLength() + 5], 1);

  source.pixels()[1] = 0x03E0;
  source.BlitTo(0, &target);
  EXPECT_EQ(target.pixels()[row * target.rowLength() + 6], 0x7C00) << "not dirty, not forced";
  source.BlitTo(1, &target);
  EXPECT_EQ(target.pixels()[row * target.rowLength() + 6], 0x03E0);
}

TEST_F(PanelTest, CreateAgainRebuildsAndLosesTheDrawnPixels) {
  CPanel panel(0, 0, 6, 6);
  ASSERT_EQ(panel.Create(), 1);
  panel.pixels()[3] = 0x1234;
  panel.Draw(0);
  ASSERT_EQ(panel.Create(), 1);
  EXPECT_EQ(panel.pixels()[3], 1);
  EXPECT_TRUE(panel.dirty());
}

TEST_F(PanelTest, NamedPanelWithoutItsBitmapStaysUncreatedAndDrawsNothing) {
  CPanel panel(nullptr, 0, 0, 0, 0, "missing.bmp");
  EXPECT_EQ(panel.Place(3, 4, 0), 0);
  EXPECT_FALSE(panel.created());
  panel.Draw(1);
  CPanel target(0, 0, 8, 8);
  ASSERT_EQ(target.Create(), 1);
  panel.BlitTo(1, &target);
  EXPECT_EQ(BackPixel(3, 4), kBackground);
}

}  // namespace
