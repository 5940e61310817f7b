// A toolkit opened over a shown window whose procedure is the toolkit's, with a clock that moves
// only when the test moves it, on the Glide context that the sprites' panels are made on; window
// messages are posted and taken through PumpUiEvents.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "battle/ui/ui_toolkit.h"
#include "platform/win32.h"
#include "tests/battle_cockpit/cockpit_fixture.h"
#include "tests/support/scoped_window_system.h"

class UiFixture : public CockpitTest {
 protected:
  UiFixture() : scopedClock_(clock_) {}

  void SetUp() override {
    CockpitTest::SetUp();
    window_ = test_support::CreateShownWindow("UiFixture", &HandleUiWindowMessage);
    ASSERT_NE(window_, nullptr);
    textSprite_ = CreateUiSprite(0, 0, 200, 40);
    InitUi(textSprite_);
  }
  void TearDown() override {
    ShutdownUi();
    DestroyUiSprite(textSprite_);
    CockpitTest::TearDown();
  }
  // Takes a sprite's change onto the frame, so that its panel is no longer dirty.
  static void Shown(UiSprite& sprite) { sprite.panel.Draw(0); }

  void Post(UINT message, int x = 0, int y = 0, WPARAM wParam = 0) {
    const bool mouse = message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP;
    PostMessageA(window_, message, wParam, mouse ? MakeMouseLParam(x, y) : 0);
  }
  // Every event that the pumps hand out until one hands out none.
  std::vector<UiEvent> Drain() {
    std::vector<UiEvent> events;
    while (std::optional<UiEvent> event = PumpUiEvents()) {
      events.push_back(*event);
    }
    return events;
  }
  void Advance(DWORD milliseconds) { clock_.Advance(milliseconds); }

  test_support::ScopedWindowSystem windows_;
  platform::VirtualClock clock_;
  platform::ScopedProcessClock scopedClock_;
  HWND window_ = nullptr;
  UiSprite* textSprite_ = nullptr;
};
