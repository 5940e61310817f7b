#include <gtest/gtest.h>

#include <vector>

#include "battle/ui/text_list.h"
#include "tests/battle_ui/ui_fixture.h"

namespace {

class UiInputTest : public UiFixture {
 protected:
  void SetUp() override {
    UiFixture::SetUp();
    for (UiSprite*& image : images_) {
      image = CreateUiSprite(0, 0, 40, 20);
    }
  }
  void TearDown() override {
    for (UiSprite* image : images_) {
      DestroyUiSprite(image);
    }
    UiFixture::TearDown();
  }
  // A 20 x 100 bar at (300, 100): arrows 20 x 10 at the ends, thumb 20 x 8.
  UiScrollBar* MakeBar(int count) {
    arrowUp_ = CreateUiSprite(0, 0, 20, 10);
    arrowDown_ = CreateUiSprite(0, 0, 20, 10);
    thumb_ = CreateUiSprite(0, 0, 20, 8);
    UiScrollBar* bar = CreateUiScrollBar(300, 100, 20, 100, nullptr, arrowUp_, nullptr, arrowDown_,
                                         nullptr, thumb_);
    bar->count = count;
    LayoutUiScrollBar(bar);
    return bar;
  }
  void DestroyBar(UiScrollBar* bar) {
    DestroyUiScrollBar(bar);
    DestroyUiSprite(arrowUp_);
    DestroyUiSprite(arrowDown_);
    DestroyUiSprite(thumb_);
  }

  UiSprite* images_[3] = {};
  UiSprite* arrowUp_ = nullptr;
  UiSprite* arrowDown_ = nullptr;
  UiSprite* thumb_ = nullptr;
};

TEST_F(UiInputTest, APressIsAnActivationAndEveryReleaseEndsItInsideTheButtonOrNot) {
  const struct {
    bool hoverImage;
    int releaseX;
    int stateAfter;
  } cases[] = {
      {true, 20, kUiHover},    // released inside: hovered again
      {false, 20, kUiNormal},  // no hover image: normal
      {true, 200, kUiNormal},  // released outside
  };
  for (const auto& c : cases) {
    UiButton* button =
        CreateUiButton(10, 10, 40, 20, images_[0], images_[1], c.hoverImage ? images_[2] : nullptr);
    Post(WM_LBUTTONDOWN, 20, 15);
    std::vector<UiEvent> events = Drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, kUiActivated);
    EXPECT_EQ(events[0].widget, button);
    EXPECT_EQ(events[0].x, 20);
    EXPECT_EQ(events[0].y, 15);
    EXPECT_EQ(button->state, kUiPressed);
    EXPECT_EQ(button->sprite, images_[1]);

    Post(WM_LBUTTONUP, c.releaseX, 15);
    events = Drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, kUiReleased);
    EXPECT_EQ(events[0].widget, button);
    EXPECT_EQ(button->state, c.stateAfter);
    EXPECT_EQ(button->sprite, images_[c.stateAfter]);
    DestroyUiButton(button);
  }
}

TEST_F(UiInputTest, OnlyAButtonWithAHoverImageTakesTheHoverLook) {
  UiButton* plain = CreateUiButton(10, 10, 40, 20, images_[0], images_[1], nullptr);
  UiButton* hovering = CreateUiButton(100, 10, 40, 20, images_[0], images_[1], images_[2]);
  Post(WM_MOUSEMOVE, 20, 15);
  Drain();
  EXPECT_EQ(plain->state, kUiNormal);
  Post(WM_MOUSEMOVE, 110, 15);
  Drain();
  EXPECT_EQ(hovering->state, kUiHover);
  EXPECT_EQ(hovering->sprite, images_[2]);
  Post(WM_MOUSEMOVE, 300, 300);
  EXPECT_TRUE(Drain().empty());
  EXPECT_EQ(hovering->state, kUiNormal);
  EXPECT_EQ(hovering->sprite, images_[0]);
  DestroyUiButton(plain);
  DestroyUiButton(hovering);
}

TEST_F(UiInputTest, AHeldDownArrowRepeatsAfter300MsThenEvery150AndAfterASecondEvery50) {
  UiScrollBar* bar = MakeBar(20);
  const DWORD pressed = clock_.Milliseconds();
  Post(WM_LBUTTONDOWN, 305, 195);
  std::vector<DWORD> times;
  std::vector<int> positions;
  for (int step = 0; step < 2500; ++step) {
    for (const UiEvent& event : Drain()) {
      EXPECT_EQ(event.kind, kUiActivated);
      EXPECT_EQ(event.widget, bar);
      times.push_back(clock_.Milliseconds() - pressed);
      positions.push_back(bar->position);
    }
    Advance(1);
  }
  // One step at the press, then one each time the clock is past the next repeat time.
  const std::vector<DWORD> expected = {0,    301,  452,  603,  754,  905,  1056, 1107, 1158, 1209,
                                       1260, 1311, 1362, 1413, 1464, 1515, 1566, 1617, 1668, 1719};
  ASSERT_EQ(times.size(), 19u);
  EXPECT_EQ(times, std::vector<DWORD>(expected.begin(), expected.begin() + 19));
  EXPECT_EQ(positions.back(), 19);
  EXPECT_EQ(bar->thumbY, bar->trackBottom - thumb_->height);
  DestroyBar(bar);
}

TEST_F(UiInputTest, TheDownArrowAtTheLastPositionDoesNothingAndStartsNoRepeat) {
  UiScrollBar* bar = MakeBar(20);
  bar->position = 19;
  Post(WM_LBUTTONDOWN, 305, 195);
  EXPECT_TRUE(Drain().empty());
  Advance(400);
  EXPECT_TRUE(Drain().empty());
  EXPECT_EQ(bar->position, 19);
  // The up arrow steps back.
  Post(WM_LBUTTONDOWN, 305, 105);
  ASSERT_EQ(Drain().size(), 1u);
  EXPECT_EQ(bar->position, 18);
  DestroyBar(bar);
}

TEST_F(UiInputTest, ABarOfNoneOrOnePositionShowsItsThumbAtTheTrackTop) {
  for (const int count : {0, 1}) {
    UiScrollBar* bar = MakeBar(count);
    EXPECT_EQ(bar->trackTop, 110);
    EXPECT_EQ(bar->thumbY, bar->trackTop) << count;
    DestroyBar(bar);
  }
}

TEST_F(UiInputTest, CharactersAndTheNamedKeysAreKeyEventsAndOtherKeysQueueNothing) {
  const struct {
    UINT message;
    WPARAM key;
    std::uint32_t code;  // 0: nothing queued
  } cases[] = {
      {WM_CHAR, 'a', 0x61},       {WM_CHAR, 0x1E5, 0xE5},      {WM_KEYDOWN, VK_HOME, 0x84},
      {WM_KEYDOWN, VK_END, 0x85}, {WM_KEYDOWN, VK_LEFT, 0x80}, {WM_KEYDOWN, VK_RIGHT, 0x81},
      {WM_KEYDOWN, VK_UP, 0x82},  {WM_KEYDOWN, VK_DOWN, 0x83}, {WM_KEYDOWN, VK_DELETE, 0x7F},
      {WM_KEYDOWN, 0x41, 0},      {WM_KEYDOWN, 0x10, 0},
  };
  for (const auto& c : cases) {
    Post(c.message, 0, 0, c.key);
    const std::vector<UiEvent> events = Drain();
    if (c.code == 0) {
      EXPECT_TRUE(events.empty()) << c.key;
      continue;
    }
    ASSERT_EQ(events.size(), 1u) << c.key;
    EXPECT_EQ(events[0].kind, kUiKey);
    EXPECT_EQ(events[0].key, c.code);
    EXPECT_EQ(events[0].widget, nullptr);
    EXPECT_EQ(events[0].x, 0);
  }
}

int gCallbackAnswer = 1;
std::vector<int> gCallbackKinds;

int RecordingCallback(int kind, CTextList* /*list*/, int /*x*/, int /*y*/) {
  gCallbackKinds.push_back(kind);
  return gCallbackAnswer;
}

TEST_F(UiInputTest, ListClicksSelectAskTheCallbackAndStopBelowTheLastRow) {
  CTextList* list = CTextList::Create(400, 50, 100, 130);
  for (int row = 0; row < 4; ++row) {
    list->AddRow(100, "row", row, 0xFFFFFF);
  }
  list->SetCallback(&RecordingCallback);
  gCallbackKinds.clear();
  const struct {
    UINT message;
    int y;
    int answer;
    int queued;  // -1: nothing
    int selectedAfter;
  } cases[] = {
      {WM_LBUTTONDOWN, 50 + 13 * 2 + 5, 1, kUiActivated, 2},
      {WM_LBUTTONDOWN, 50 + 13 * 2 + 1, 1, kUiClickedAgain, 2},
      {WM_LBUTTONDOWN, 50 + 13 * 1, 0, -1, 2},  // refused: the selection stays
      {WM_RBUTTONDOWN, 50 + 13 * 3, 1, kUiRightClicked, 2},
      {WM_RBUTTONDOWN, 50 + 13 * 3, 0, -1, 2},
      {WM_LBUTTONDOWN, 50 + 13 * 4, 1, -1, 2},  // below the last row: the callback is not asked
  };
  std::vector<int> expectedKinds;
  for (const auto& c : cases) {
    gCallbackAnswer = c.answer;
    Post(c.message, 450, c.y);
    const std::vector<UiEvent> events = Drain();
    if (c.queued < 0) {
      EXPECT_TRUE(events.empty()) << c.y;
    } else {
      ASSERT_EQ(events.size(), 1u) << c.y;
      EXPECT_EQ(events[0].kind, static_cast<std::uint32_t>(c.queued));
      EXPECT_EQ(events[0].widget, list);
    }
    EXPECT_EQ(list->SelectedRow(), c.selectedAfter);
  }
  EXPECT_EQ(gCallbackKinds, (std::vector<int>{1, 2, 1, 3, 3}));
  CTextList::Destroy(list);
}

TEST_F(UiInputTest, TheStandardCallbackRefusesRowsOfNegativeValueAndRowsOutsideTheWindow) {
  CTextList* list = CTextList::Create(0, 0, 100, 26);
  list->AddRow(100, "heading", -1, 0xFFFFFF);
  list->AddRow(100, "module", 7, 0xFFFFFF);
  list->AddRow(100, "hidden", 8, 0xFFFFFF);
  const struct {
    int y;
    int accepted;
  } cases[] = {{5, 0}, {14, 1}, {30, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(HitTestUiList(1, list, 0, c.y), c.accepted) << c.y;
  }
  CTextList::Destroy(list);
}

TEST_F(UiInputTest, TheQuitMessageIsLeftForTheGamesLoop) {
  PostQuitMessage(3);
  EXPECT_TRUE(Drain().empty());
  EXPECT_TRUE(IsUiQuitRequested());
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wParam, 3u);
}

TEST_F(UiInputTest, ClosingTheWindowPostsTheQuit) {
  DestroyWindow(window_);
  Drain();
  EXPECT_TRUE(IsUiQuitRequested());
}

TEST_F(UiInputTest, ADestroyedWidgetIsForgottenAsPressedRepeatingAndInTheQueue) {
  UiButton* button = CreateUiButton(10, 10, 40, 20, images_[0], images_[1], images_[2]);
  Post(WM_LBUTTONDOWN, 20, 15);
  ASSERT_EQ(Drain().size(), 1u);
  Post(WM_LBUTTONDOWN, 20, 15);
  // Unread: the second press's event waits in the queue when the button goes.
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  DispatchMessageA(&message);
  ASSERT_EQ(CountUiEvents(), 1);
  DestroyUiButton(button);
  EXPECT_EQ(CountUiEvents(), 0);
  Post(WM_LBUTTONUP, 20, 15);
  EXPECT_TRUE(Drain().empty());

  UiScrollBar* bar = MakeBar(20);
  Post(WM_LBUTTONDOWN, 305, 195);
  ASSERT_EQ(Drain().size(), 1u);
  DestroyBar(bar);
  Advance(400);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(UiInputTest, ClosingTheToolkitDropsTheQueueAndTheHeldArrow) {
  UiScrollBar* bar = MakeBar(20);
  Post(WM_LBUTTONDOWN, 305, 195);
  Post(WM_CHAR, 0, 0, 'x');
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessageA(&message);
  }
  ASSERT_EQ(CountUiEvents(), 2);
  ShutdownUi();
  EXPECT_EQ(CountUiEvents(), 0);
  // The screen closes with the arrow held and opens again: the new bar is not stepped by the old
  // press.
  DestroyBar(bar);
  InitUi(textSprite_);
  UiScrollBar* again = MakeBar(20);
  Advance(400);
  EXPECT_TRUE(Drain().empty());
  EXPECT_EQ(again->position, 0);
  DestroyBar(again);
}

// The bar's picture is its pieces copied in at their places, the thumb where its position puts
// it, with the pieces' zero pixels leaving what was below.
TEST_F(UiInputTest, TheBarsPictureHoldsItsArrowsAndTheThumbAtItsPosition) {
  UiScrollBar* bar = MakeBar(11);
  const auto fill = [](UiSprite& sprite, std::uint16_t colour) {
    for (int y = 0; y < sprite.height; ++y) {
      for (int x = 0; x < sprite.width; ++x) {
        sprite.At(x, y) = colour;
      }
    }
  };
  fill(*arrowUp_, 0x0100);
  fill(*arrowDown_, 0x0200);
  fill(*thumb_, 0x0300);
  thumb_->At(0, 0) = 0;
  bar->position = 2;
  LayoutUiScrollBar(bar);
  UiSprite& window = *bar->sprite;
  EXPECT_EQ(window.At(5, 0), 0x0100);
  EXPECT_EQ(window.At(5, 9), 0x0100);
  EXPECT_EQ(window.At(5, 90), 0x0200);
  EXPECT_EQ(window.At(5, 99), 0x0200);
  // Thumb y = 10 + (90 - 8 - 10) x 2 / 10 = 24, from the bar's top.
  EXPECT_EQ(bar->thumbY - 100, 24);
  EXPECT_EQ(window.At(5, 23), 1) << "the blank background above the thumb";
  EXPECT_EQ(window.At(5, 24), 0x0300);
  EXPECT_EQ(window.At(5, 31), 0x0300);
  EXPECT_EQ(window.At(5, 32), 1);
  EXPECT_EQ(window.At(0, 24), 1) << "the thumb's zero pixel";
  EXPECT_TRUE(window.panel.dirty());
  DestroyBar(bar);
}

}  // namespace
