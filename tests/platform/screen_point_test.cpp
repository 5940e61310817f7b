#include <gtest/gtest.h>

#include "platform/win32.h"
#include "tests/support/scoped_window_system.h"

namespace {

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(ScreenPointTest, ClientPointsMoveByTheWindowsPlaceAndTheMouseIsKeptInScreenPoints) {
  test_support::ScopedWindowSystem windows;
  const HWND window = test_support::CreateShownWindow("ScreenPointTest", &Procedure);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(SetWindowPos(window, nullptr, 30, 40, 0, 0, SWP_NOSIZE));
  POINT point{5, 6};
  ASSERT_TRUE(ClientToScreen(window, &point));
  EXPECT_EQ(point.x, 35);
  EXPECT_EQ(point.y, 46);
  EXPECT_FALSE(ClientToScreen(nullptr, &point));

  platform::ReportMousePosition(window, 100, 200);
  POINT cursor{};
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(cursor.x, 130);
  EXPECT_EQ(cursor.y, 240);
  EXPECT_FALSE(GetCursorPos(nullptr));
}

TEST(ScreenPointTest, PaintingAnswersWithTheWholeClientArea) {
  test_support::ScopedWindowSystem windows;
  const HWND window = test_support::CreateShownWindow("PaintTest", &Procedure);
  ASSERT_NE(window, nullptr);
  PAINTSTRUCT paint{};
  EXPECT_EQ(BeginPaint(window, &paint), nullptr);
  EXPECT_EQ(paint.rcPaint.right, 640);
  EXPECT_EQ(paint.rcPaint.bottom, 480);
  EXPECT_TRUE(EndPaint(window, &paint));
  EXPECT_FALSE(EndPaint(nullptr, &paint));
}

}  // namespace
