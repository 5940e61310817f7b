#include <gtest/gtest.h>

#include <algorithm>

#include "tests/battle_ui/ui_fixture.h"

namespace {

using UiTextTest = UiFixture;

constexpr std::uint16_t kPaper = 2 << 10 | 2 << 5 | 2;  // 0x101010
constexpr std::uint16_t kInk = 0x7FFF;

// The columns of the ink in rows 0 to 19 of the text sprite.
std::pair<int, int> InkColumns(UiSprite& sprite) {
  int left = sprite.width;
  int right = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < sprite.width; ++x) {
      if (sprite.At(x, y) == kInk) {
        left = std::min(left, x);
        right = std::max(right, x + 1);
      }
    }
  }
  return {left, right};
}

void Clear(UiSprite& sprite) {
  for (int y = 0; y < sprite.height; ++y) {
    for (int x = 0; x < sprite.width; ++x) {
      sprite.At(x, y) = 0;
    }
  }
}

TEST_F(UiTextTest, TextIsAlignedInItsBoxAndTheBoxIsFilled) {
  const struct {
    int alignment;
    bool drawn;
  } cases[] = {{0, true}, {1, true}, {2, true}, {3, false}, {-1, false}};
  int width = 0;
  for (const auto& c : cases) {
    Clear(*textSprite_);
    Shown(*textSprite_);
    DrawUiText(20, 0, 160, 16, 0xFFFFFF, "Armor", c.alignment);
    EXPECT_EQ(textSprite_->panel.dirty(), c.drawn);
    EXPECT_EQ(textSprite_->At(21, 15), c.drawn ? kPaper : 0) << c.alignment;
    EXPECT_EQ(textSprite_->At(19, 15), 0);
    EXPECT_EQ(textSprite_->At(20, 16), 0);
    if (!c.drawn) {
      continue;
    }
    const auto [left, right] = InkColumns(*textSprite_);
    ASSERT_LT(left, right);
    if (c.alignment == 0) {
      width = right - left;
      EXPECT_LT(left, 24);
    } else if (c.alignment == 1) {
      EXPECT_NEAR((left + right) / 2, 100, 3);
    } else {
      EXPECT_LE(right, 180);
      EXPECT_GT(right, 174);
    }
    EXPECT_EQ(right - left, width);
  }
}

TEST_F(UiTextTest, TheSmallFontsTextIsNoTallerThanItsLines) {
  Clear(*textSprite_);
  DrawUiSmallText(0, 0, 200, 40, 0xFFFFFF, "Hgjy", 0);
  int bottom = 0;
  for (int y = 0; y < textSprite_->height; ++y) {
    for (int x = 0; x < textSprite_->width; ++x) {
      if (textSprite_->At(x, y) == kInk) {
        bottom = std::max(bottom, y + 1);
      }
    }
  }
  EXPECT_GT(bottom, 0);
  EXPECT_LE(bottom, 12);
}

TEST_F(UiTextTest, TheCursorFollowsTheMouse) {
  platform::ReportMousePosition(window_, 33, 44);
  MoveUiCursor();
  ASSERT_NE(GetUiCursor(), nullptr);
  EXPECT_EQ(GetUiCursor()->panel.destination().left, 33);
  EXPECT_EQ(GetUiCursor()->panel.destination().top, 44);
  EXPECT_EQ(GetUiCursor()->width, kUiCursorWidth);
  EXPECT_TRUE(GetUiCursor()->panel.keyed());
}

}  // namespace
