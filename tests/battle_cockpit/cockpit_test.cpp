#include "battle/cockpit/cockpit.h"

#include <vector>

#include "tests/battle_cockpit/cockpit_fixture.h"

namespace {

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(CockpitLayoutTest, ChosenByWidthAndCockpitFlag) {
  EXPECT_EQ(ChooseCockpitLayout(640, 1), CockpitLayout::kCockpitPicture);
  EXPECT_EQ(ChooseCockpitLayout(640, 0), CockpitLayout::kSeparateBoxes);
  EXPECT_EQ(ChooseCockpitLayout(800, 3), CockpitLayout::kCockpitPicture);
  EXPECT_EQ(ChooseCockpitLayout(320, 1), CockpitLayout::kSmall);
  EXPECT_EQ(ChooseCockpitLayout(320, 0), CockpitLayout::kSmall);
}

TEST(CockpitLayoutTest, SlotRectanglesPerLayoutAndScreen) {
  struct Case {
    CockpitLayout layout;
    int width;
    int height;
    int slot;
    RECT expected;
  };
  const Case cases[] = {
      {CockpitLayout::kCockpitPicture, 640, 480, kSlotRadar, {528, 8, 632, 112}},
      {CockpitLayout::kCockpitPicture, 640, 480, kSlotCrosshair, {304, 116, 336, 148}},
      {CockpitLayout::kCockpitPicture, 640, 480, kSlotCompass, {268, 4, 372, 25}},
      {CockpitLayout::kCockpitPicture, 640, 480, kSlotCompassPointer, {316, 0, 324, 4}},
      {CockpitLayout::kCockpitPicture, 640, 480, kSlotRocketBar, {592, 132, 616, 196}},
      {CockpitLayout::kCockpitPicture, 640, 480, kSlotMessageBox, {170, 160, 470, 320}},
      {CockpitLayout::kCockpitPicture, 640, 480, kSlotCockpitPicture, {0, 264, 640, 480}},
      {CockpitLayout::kSeparateBoxes, 640, 480, kSlotRadar, {528, 8, 632, 112}},
      {CockpitLayout::kSeparateBoxes, 640, 480, kSlotCrosshair, {304, 224, 336, 256}},
      {CockpitLayout::kSeparateBoxes, 800, 600, kSlotCrosshair, {384, 284, 416, 316}},
      {CockpitLayout::kSeparateBoxes, 640, 480, kSlotMessageBox, {170, 160, 470, 320}},
      {CockpitLayout::kSeparateBoxes, 640, 480, kSlotRocketBar, {592, 240, 616, 304}},
      {CockpitLayout::kSeparateBoxes, 640, 480, 34, {36, 430, 147, 445}},
      {CockpitLayout::kSmall, 320, 240, kSlotRadar, {248, 8, 312, 72}},
      {CockpitLayout::kSmall, 320, 240, kSlotCrosshair, {152, 112, 168, 128}},
      {CockpitLayout::kSmall, 320, 240, kSlotCompass, {134, 4, 186, 16}},
      {CockpitLayout::kSmall, 320, 240, kSlotRocketBar, {288, 120, 304, 160}},
      {CockpitLayout::kSmall, 320, 240, kSlotMessageBox, {10, 40, 310, 200}},
      {CockpitLayout::kSmall, 320, 240, kSlotReconLamp, {304, 4, 316, 16}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(CockpitSlotRectangle(c.layout, c.slot, c.width, c.height) == c.expected)
        << static_cast<int>(c.layout) << " slot " << c.slot << " at " << c.width;
  }
}

TEST(CockpitLayoutTest, SlotsAbsentPerLayout) {
  struct Case {
    CockpitLayout layout;
    std::vector<int> absent;
  };
  const Case cases[] = {
      {CockpitLayout::kCockpitPicture, {33, 34, 35}},
      {CockpitLayout::kSeparateBoxes, {0, 21, 33}},
      {CockpitLayout::kSmall, {0, 17, 19, 22, 25, 26, 28, 29, 30, 33, 34, 35}},
  };
  for (const Case& c : cases) {
    std::vector<int> absent;
    for (int slot = 0; slot < kCockpitSlotCount; ++slot) {
      if (CockpitSlot(c.layout, slot).kind == SlotKind::kAbsent) {
        absent.push_back(slot);
      }
    }
    EXPECT_EQ(absent, c.absent) << static_cast<int>(c.layout);
  }
}

TEST(CockpitWindowTest, CompassHeadingsWrapIntoOneTurn) {
  struct Case {
    float heading;
    CockpitLayout layout;
    int left;
  };
  const Case cases[] = {
      {0.0f, CockpitLayout::kCockpitPicture, 504},    {256.0f, CockpitLayout::kCockpitPicture, 252},
      {256.0f, CockpitLayout::kSeparateBoxes, 252},   {511.0f, CockpitLayout::kCockpitPicture, 1},
      {512.0f, CockpitLayout::kCockpitPicture, 504},  {768.0f, CockpitLayout::kCockpitPicture, 252},
      {-256.0f, CockpitLayout::kCockpitPicture, 252}, {0.0f, CockpitLayout::kSmall, 252},
      {256.0f, CockpitLayout::kSmall, 126},           {-256.0f, CockpitLayout::kSmall, 126},
  };
  for (const Case& c : cases) {
    const auto [left, right] = CompassWindow(c.heading, c.layout);
    EXPECT_EQ(left, c.left) << c.heading;
    EXPECT_EQ(right - left, c.layout == CockpitLayout::kSmall ? 51 : 102) << c.heading;
  }
}

TEST(CockpitWindowTest, ReconLampFrames) {
  EXPECT_EQ(ReconLampWindow(1), std::make_pair(0, 12));
  EXPECT_EQ(ReconLampWindow(-1), std::make_pair(12, 24));
  EXPECT_EQ(ReconLampWindow(2), std::make_pair(12, 24));
}

TEST(CockpitOrderTest, BoxesAndTextsPerLayout) {
  struct Case {
    CockpitLayout layout;
    std::vector<int> slots;
    std::vector<int> unforced;
  };
  const Case cases[] = {
      {CockpitLayout::kCockpitPicture,
       {0, 22, 9, 10, 11, 20, 21, 16, 18, 4, 5, 6, 7, 8, 12, 27},
       {}},
      {CockpitLayout::kSeparateBoxes,
       {9, 11, 10, 4, 5, 6, 7, 8, 34, 35, 16, 18, 12, 27, 20, 22},
       {9}},
      {CockpitLayout::kSmall, {9, 11, 10, 4, 5, 6, 7, 8, 16, 18, 12, 27, 23, 24}, {9}},
  };
  for (const Case& c : cases) {
    std::vector<int> slots;
    std::vector<int> unforced;
    for (const CockpitDraw& draw : CockpitBoxOrder(c.layout)) {
      slots.push_back(draw.slot);
      if (draw.force == 0) {
        unforced.push_back(draw.slot);
      }
    }
    EXPECT_EQ(slots, c.slots) << static_cast<int>(c.layout);
    EXPECT_EQ(unforced, c.unforced) << static_cast<int>(c.layout);
  }
}

using CockpitBuildTest = CockpitTest;

// Without "game.r3x" the cockpit stays empty and every call finds null slots.
TEST_F(CockpitBuildTest, MissingArchiveLeavesEverySlotNullAndDrawsNothing) {
  CCockpit cockpit;
  cockpit.Build(CockpitLayout::kCockpitPicture, 640, 480, "no-such-archive.r3x");
  for (int slot = 0; slot < kCockpitSlotCount; ++slot) {
    EXPECT_EQ(cockpit.slot(slot), nullptr) << slot;
  }
  cockpit.Invalidate();
  cockpit.SetCrosshairFrame(2);
  cockpit.SetCrosshairReady(0);
  cockpit.Draw({.heading = 100.0f, .reconLamp = 1, .rocketsOn = true, .networkNotice = true});
  EXPECT_EQ(BackPixel(320, 400), kBackground);
}

TEST_F(CockpitBuildTest, InvalidateMarksEveryGaugeAndForgetsThePitchMarker) {
  CCockpit cockpit;
  cockpit.Invalidate();
  const CCockpit::GaugeFlags& g = cockpit.gauges();
  for (const bool flag : {g.statusLine, g.log, g.power, g.flow, g.armor, g.frontShield,
                          g.rearShield, g.crits, g.throttle, g.weapons, g.score, g.target}) {
    EXPECT_TRUE(flag);
  }
  EXPECT_EQ(cockpit.pitchMarker(), -1);
}

}  // namespace
