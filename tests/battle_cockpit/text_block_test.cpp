#include "battle/cockpit/text_block.h"

#include <algorithm>
#include <cstdint>

#include "battle/ui/hud_colours.h"
#include "battle/ui/hud_text.h"
#include "battle/ui/panel.h"
#include "tests/battle_cockpit/cockpit_fixture.h"

namespace {

std::uint16_t Stored(COLORREF colour) {
  return static_cast<std::uint16_t>((colour & 0xFF) >> 3 << 10 | (colour >> 8 & 0xFF) >> 3 << 5 |
                                    (colour >> 16 & 0xFF) >> 3);
}
const std::uint16_t kWhite = Stored(kHudColours['e' - 'a']);

class TextBlockTest : public CockpitTest {
 protected:
  void SetUp() override {
    CockpitTest::SetUp();
    CreateHudFont(14);
    ASSERT_EQ(panel_.Create(), 1);
  }
  void TearDown() override {
    DeleteHudFont();
    CockpitTest::TearDown();
  }

  std::uint16_t At(int x, int y) const {
    return panel_.pixels()[(panel_.height() - 1 - y) * panel_.rowLength() + x];
  }

  CPanel panel_{0, 0, 201, 48};
};

TEST_F(TextBlockTest, TextBlockClearsItsRectangleAndDrawsFromItsLeftPlusTwo) {
  ASSERT_EQ(panel_.Create(), 1);
  const RECT block{20, 10, 120, 30};
  DrawTextBlock(panel_, block, "\aeHH");
  const std::uint16_t cleared = At(119, 29);
  EXPECT_NE(cleared, 1) << "cleared to the transparent colour";
  EXPECT_EQ(At(19, 10), 1) << "left of the block";
  EXPECT_EQ(At(20, 30), 1) << "below the block";
  int left = 200;
  for (int y = 10; y < 30; ++y) {
    for (int x = 20; x < 120; ++x) {
      if (At(x, y) == kWhite) {
        left = std::min(left, x);
      }
    }
  }
  EXPECT_GE(left, 22);
  EXPECT_LT(left, 26);
  CPanel uncreated(0, 0, 10, 10);
  DrawTextBlock(uncreated, {0, 0, 10, 10}, "x");
}

}  // namespace
