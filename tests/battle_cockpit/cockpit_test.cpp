#include "battle/cockpit/cockpit.h"

#include <vector>

#include "battle/arena/arena_world.h"
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

class DemoCockpitTest : public CockpitTest {
 protected:
  void SetUp() override {
    CockpitTest::SetUp();
    gWorld = r3xCreateWorld(nullptr, 0, nullptr);
    ASSERT_NE(gWorld, nullptr);
  }
  void TearDown() override {
    cockpit_.Free();
    r3xDestroyWorld(gWorld);
    gWorld = nullptr;
    CockpitTest::TearDown();
  }
  CCockpit cockpit_;
};

// Every slot of each layout is built from the demo's "game.r3x" at its place.
TEST_F(DemoCockpitTest, EverySlotOfEachLayoutIsBuilt) {
  struct Case {
    CockpitLayout layout;
    int width;
    int height;
  };
  for (const Case c :
       {Case{CockpitLayout::kCockpitPicture, 640, 480},
        Case{CockpitLayout::kSeparateBoxes, 640, 480}, Case{CockpitLayout::kSmall, 320, 240}}) {
    cockpit_.Build(c.layout, c.width, c.height, ARENA_DEMO_GAME);
    for (int slot = 0; slot < kCockpitSlotCount; ++slot) {
      const SlotSpec& spec = CockpitSlot(c.layout, slot);
      CPanel* panel = cockpit_.slot(slot);
      if (spec.kind == SlotKind::kAbsent) {
        EXPECT_EQ(panel, nullptr) << slot;
        continue;
      }
      ASSERT_NE(panel, nullptr) << slot;
      EXPECT_TRUE(panel->created()) << static_cast<int>(c.layout) << " slot " << slot;
      if (spec.kind != SlotKind::kSource) {
        EXPECT_TRUE(panel->destination() == CockpitSlotRectangle(c.layout, slot, c.width, c.height))
            << static_cast<int>(c.layout) << " slot " << slot;
      }
    }
    EXPECT_EQ(cockpit_.rocketBarFullHeight(), c.layout == CockpitLayout::kSmall ? 40 : 64);
  }
}

TEST_F(DemoCockpitTest, CrosshairFramesAndReadyColumnsStayOnTheStrip) {
  cockpit_.Build(CockpitLayout::kCockpitPicture, 640, 480, ARENA_DEMO_GAME);
  struct Case {
    int row;
    int ready;
    RECT expected;
    bool visible;
  };
  const Case cases[] = {
      {2, 1, {0, 64, 32, 96}, true},
      {2, 0, {32, 64, 64, 96}, true},
      {0, 1, {0, 0, 32, 32}, true},
      // Past the strip's rows: its last row.
      {40, 1, {0, 224, 32, 256}, true},
      {-5, 1, {0, 0, 32, 32}, true},
      // Hidden: the frame stays.
      {-1, 1, {0, 0, 32, 32}, false},
  };
  for (const Case& c : cases) {
    cockpit_.SetCrosshairFrame(c.row);
    cockpit_.SetCrosshairReady(c.ready);
    EXPECT_TRUE(cockpit_.slot(kSlotCrosshair)->source() == c.expected) << c.row << "," << c.ready;
    EXPECT_EQ(cockpit_.crosshairVisible(), c.visible) << c.row;
  }
}

// GDI text drawn into the message box shows in every layout: the box is a blank panel.
TEST_F(DemoCockpitTest, MessageBoxIsBlankWithTheBoxPictureCopiedIn) {
  for (const CockpitLayout layout :
       {CockpitLayout::kCockpitPicture, CockpitLayout::kSeparateBoxes, CockpitLayout::kSmall}) {
    cockpit_.Build(layout, layout == CockpitLayout::kSmall ? 320 : 640,
                   layout == CockpitLayout::kSmall ? 240 : 480, ARENA_DEMO_GAME);
    CPanel* box = cockpit_.slot(kSlotMessageBox);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->dc(), nullptr);
    // The picture's frame is in the copy: its middle is neither blank nor see-through.
    const std::uint16_t middle = box->pixels()[80 * box->rowLength() + 150];
    EXPECT_NE(middle, 1) << static_cast<int>(layout);
    EXPECT_NE(middle, 0) << static_cast<int>(layout);
    SetBkColor(box->dc(), RGB(255, 255, 255));
    const RECT mark{10, 20, 11, 21};
    ASSERT_TRUE(ExtTextOutA(box->dc(), 0, 0, ETO_OPAQUE, &mark, "", 0, nullptr));
    ClearBack();
    box->Draw(1);
    EXPECT_EQ(BackPixel(box->destination().left + 10, box->destination().top + 20), 0xFFFF)
        << static_cast<int>(layout);
  }
}

TEST_F(DemoCockpitTest, RocketBarIsSizedAndShownOnlyWhileTheRocketsAreOn) {
  cockpit_.Build(CockpitLayout::kCockpitPicture, 640, 480, ARENA_DEMO_GAME);
  CPanel* bar = cockpit_.slot(kSlotRocketBar);
  ASSERT_NE(bar, nullptr);
  cockpit_.Draw({});
  cockpit_.Draw({});
  ClearBack();
  cockpit_.Draw({});
  EXPECT_EQ(BackPixel(600, 190), kBackground) << "rockets off";
  cockpit_.Draw({.rocketsOn = true,
                 .rocketBarChanged = true,
                 .rocketFuel = 12.5f,
                 .rocketFuelMaximum = 25.0f});
  EXPECT_EQ(bar->destination().top, 196 - 32);
  for (int frame = 0; frame < 3; ++frame) {
    ClearBack();
    cockpit_.Draw({.rocketsOn = true, .rocketFuel = 25.0f, .rocketFuelMaximum = 25.0f});
    EXPECT_NE(BackPixel(600, 190), kBackground) << frame;
    EXPECT_EQ(BackPixel(600, 150), kBackground) << frame;
  }
  EXPECT_EQ(bar->destination().top, 196 - 32) << "unchanged fuel keeps the size";
}
