#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi.h"
#include "platform/kernel/last_error.h"
#include "tests/support/dib_section_dc.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr COLORREF kTextColour = RGB(200, 40, 120);
constexpr std::uint16_t kInk = (200 >> 3) << 10 | (40 >> 3) << 5 | 120 >> 3;
constexpr char kText[] = "Ag";
// An odd width, so rows are padded.
constexpr int kWidth = 61;
constexpr int kHeight = 40;
constexpr int kCellHeight = 16;

// A memory DC over a 16-bit DIB section, read back by rows from the top.
class Panel {
 public:
  explicit Panel(bool bottomUp = true)
      : bottomUp_(bottomUp), surface_(kWidth, bottomUp ? kHeight : -kHeight) {}

  HDC Dc() const { return surface_.Dc(); }
  std::uint16_t At(int x, int y) const {
    const int row = bottomUp_ ? kHeight - 1 - y : y;
    return surface_.Bits()[row * kPitch + x];
  }
  BOOL Write(int x, int y, UINT options = 0, const RECT* clip = nullptr) const {
    SetTextColor(Dc(), kTextColour);
    return ExtTextOutA(Dc(), x, y, options, clip, kText, std::strlen(kText), nullptr);
  }
  bool Blank() const {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (At(x, y) != 0) {
          return false;
        }
      }
    }
    return true;
  }

 private:
  static constexpr int kPitch = (kWidth * 2 + 3) / 4 * 2;
  bool bottomUp_;
  test_support::DibSectionDc surface_;
};

TEST(GdiTextTest, TextLandsInItsCellsInTheTextColourWhicheverWayRowsRun) {
  Panel bottomUp(true);
  Panel topDown(false);
  for (const Panel* panel : {&bottomUp, &topDown}) {
    SetBkMode(panel->Dc(), TRANSPARENT);
    ASSERT_TRUE(panel->Write(12, 9));
  }
  // The cells: 16 rows from y, no wider than an em a character.
  const RECT cells{12, 9, 12 + 2 * 14, 9 + kCellHeight};
  int ink = 0;
  int top = kHeight;
  int bottom = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::uint16_t pixel = bottomUp.At(x, y);
      ASSERT_EQ(pixel, topDown.At(x, y)) << x << "," << y;
      if (pixel == 0) {
        continue;
      }
      ASSERT_EQ(pixel, kInk) << x << "," << y;
      EXPECT_TRUE(x >= cells.left && x < cells.right && y >= cells.top && y < cells.bottom)
          << x << "," << y;
      ++ink;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_GT(ink, 20);
  // A capital and a descender span most of the cell.
  EXPECT_GE(bottom - top, 10);
}

TEST(GdiTextTest, ClippedTextKeepsToTheRectangle) {
  Panel whole;
  Panel clipped;
  SetBkMode(whole.Dc(), TRANSPARENT);
  SetBkMode(clipped.Dc(), TRANSPARENT);
  const RECT clip{14, 12, 20, 20};
  ASSERT_TRUE(whole.Write(12, 9));
  ASSERT_TRUE(clipped.Write(12, 9, ETO_CLIPPED, &clip));
  int ink = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
      EXPECT_EQ(clipped.At(x, y), inside ? whole.At(x, y) : 0) << x << "," << y;
      ink += clipped.At(x, y) != 0;
    }
  }
  EXPECT_GT(ink, 0);
}

TEST(GdiTextTest, OpaqueModeFillsTheCellsWithWhite) {
  Panel panel;
  ASSERT_TRUE(panel.Write(50, 30));  // a new DC draws opaque; cut off at the right and bottom
  int ink = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::uint16_t expected = x >= 50 && y >= 30 ? 0x7FFF : 0;
      if (panel.At(x, y) == kInk) {
        ++ink;
        EXPECT_TRUE(x >= 50 && y >= 30);
      } else {
        EXPECT_EQ(panel.At(x, y), expected) << x << "," << y;
      }
    }
  }
  EXPECT_GT(ink, 0);
}

TEST(GdiTextTest, MissingFontFailsAndDrawsNothing) {
  Panel panel;
  SetBkMode(panel.Dc(), TRANSPARENT);
  {
    const test_support::ScratchFolder empty("gdi_fonts");
    const test_support::ScopedEnvironment folder("ARENA_FONT_FOLDER", empty.Path().c_str());
    SetLastError(0);
    EXPECT_FALSE(panel.Write(0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(panel.Blank());
  }
  EXPECT_TRUE(panel.Write(0, 0));
  EXPECT_FALSE(panel.Blank());
}

TEST(GdiTextTest, StaleAndBusyHandlesAreRefused) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = 4;
  info.bmiHeader.biBitCount = 8;
  void* bits = nullptr;
  EXPECT_EQ(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader.biBitCount = 16;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  HGDIOBJ stock = SelectObject(dc, bitmap);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(stock));
  EXPECT_EQ(SelectObject(dc, stock), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
  EXPECT_TRUE(DeleteDC(dc));
  SetLastError(0);
  EXPECT_FALSE(ExtTextOutA(dc, 0, 0, 0, nullptr, "x", 1, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace

TEST(GdiTextTest, TextOutDrawsAsExtTextOutAndExtentMeasuresTheSameText) {
  Panel viaTextOut;
  Panel viaExtTextOut;
  SetTextColor(viaTextOut.Dc(), kTextColour);
  ASSERT_TRUE(TextOutA(viaTextOut.Dc(), 3, 2, kText, 2));
  ASSERT_TRUE(viaExtTextOut.Write(3, 2));
  int right = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      ASSERT_EQ(viaTextOut.At(x, y), viaExtTextOut.At(x, y)) << x << "," << y;
      if (viaTextOut.At(x, y) != 0) {
        right = std::max(right, x);
      }
    }
  }
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(viaTextOut.Dc(), kText, 2, &size));
  EXPECT_EQ(size.cy, kCellHeight);
  EXPECT_GT(3 + size.cx, right);
  SIZE none{};
  ASSERT_TRUE(GetTextExtentPoint32A(viaTextOut.Dc(), kText, 0, &none));
  EXPECT_EQ(none.cx, 0);
  EXPECT_FALSE(GetTextExtentPoint32A(viaTextOut.Dc(), kText, -1, &size));
  EXPECT_FALSE(TextOutA(viaTextOut.Dc(), 0, 0, kText, -1));
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, kText, 2, &size));
}

TEST(GdiTextTest, IndirectFontDrawsAtItsHeight) {
  Panel panel;
  LOGFONTA description{};
  description.lfHeight = 10;
  std::strcpy(description.lfFaceName, "Smallf");
  const HFONT font = CreateFontIndirectA(&description);
  ASSERT_NE(font, nullptr);
  ASSERT_NE(SelectObject(panel.Dc(), font), nullptr);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(panel.Dc(), kText, 2, &size));
  EXPECT_EQ(size.cy, 10);
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}
