#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gdi.h"
#include "tests/support/dib_section_dc.h"

namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 40;
constexpr int kPitch = kWidth;  // 240 bytes a row, already a multiple of 4
constexpr COLORREF kInk = RGB(255, 255, 255);
constexpr COLORREF kPaper = RGB(16, 16, 16);
constexpr std::uint16_t kInkValue = 0x7FFF;
constexpr std::uint16_t kPaperValue = 2 << 10 | 2 << 5 | 2;

// The box of the ink pixels a text left in a top-down DIB.
struct InkBox {
  int left = kWidth;
  int top = kHeight;
  int right = 0;
  int bottom = 0;
};

InkBox FindInk(const test_support::DibSectionDc& surface) {
  InkBox box;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (surface.Bits()[y * kPitch + x] == kInkValue) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
    }
  }
  return box;
}

BOOL Write(HDC dc, int x, UINT options, const RECT* rectangle, const char* text = "Wide") {
  SetTextColor(dc, kInk);
  SetBkMode(dc, TRANSPARENT);
  return ExtTextOutA(dc, x, 10, options, rectangle, text, std::strlen(text), nullptr);
}

TEST(GdiFontTest, AFontsHeightBoundsItsCellsAndTheStockFontComesBack) {
  const struct {
    int height;
    int rows;
  } cases[] = {{14, 14}, {12, 12}, {-14, 14}};
  for (const auto& c : cases) {
    test_support::DibSectionDc surface(kWidth, -kHeight);
    const HFONT font = CreateFontA(c.height, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    ASSERT_NE(font, nullptr);
    const HGDIOBJ stock = SelectObject(surface.Dc(), font);
    ASSERT_NE(stock, nullptr);
    ASSERT_TRUE(Write(surface.Dc(), 4, 0, nullptr, "Ag"));
    const InkBox box = FindInk(surface);
    EXPECT_GE(box.top, 10) << c.height;
    EXPECT_LE(box.bottom, 10 + c.rows) << c.height;
    EXPECT_EQ(SelectObject(surface.Dc(), stock), font);
    EXPECT_FALSE(DeleteObject(stock));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(font));
  }
}

TEST(GdiFontTest, OpaqueOutputFillsTheRectangleWithTheBackgroundColourAndClipsToIt) {
  test_support::DibSectionDc surface(kWidth, -kHeight);
  SetBkColor(surface.Dc(), kPaper);
  const RECT box{5, 8, 30, 24};
  ASSERT_TRUE(Write(surface.Dc(), 6, ETO_OPAQUE | ETO_CLIPPED, &box, "Wide text runs out"));
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::uint16_t pixel = surface.Bits()[y * kPitch + x];
      const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
      if (inside) {
        EXPECT_TRUE(pixel == kPaperValue || pixel == kInkValue) << x << "," << y;
      } else {
        EXPECT_EQ(pixel, 0) << x << "," << y;
      }
    }
  }
  EXPECT_LT(FindInk(surface).left, box.right);
}

TEST(GdiFontTest, CentredAndRightAlignedTextEndsAroundTheReferencePoint) {
  test_support::DibSectionDc left(kWidth, -kHeight);
  ASSERT_TRUE(Write(left.Dc(), 10, 0, nullptr));
  const InkBox leftBox = FindInk(left);
  const int inkWidth = leftBox.right - leftBox.left;
  ASSERT_GT(inkWidth, 10);

  const struct {
    UINT align;
    int x;
  } cases[] = {{TA_CENTER | TA_TOP, 60}, {TA_RIGHT | TA_TOP, 100}};
  for (const auto& c : cases) {
    test_support::DibSectionDc surface(kWidth, -kHeight);
    EXPECT_EQ(SetTextAlign(surface.Dc(), c.align), TA_LEFT);
    ASSERT_TRUE(Write(surface.Dc(), c.x, 0, nullptr));
    const InkBox box = FindInk(surface);
    // The same glyphs, moved as a whole.
    EXPECT_EQ(box.right - box.left, inkWidth);
    EXPECT_EQ(box.top, leftBox.top);
    const int shift = box.left - leftBox.left;
    if (c.align == (TA_CENTER | TA_TOP)) {
      EXPECT_NEAR(shift + 10, c.x - inkWidth / 2, 3);
    } else {
      EXPECT_NEAR(shift + 10, c.x - inkWidth, 3);
      EXPECT_LE(box.right, c.x);
    }
  }
}

}  // namespace
