#include "platform/dialog/dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend/display_backend.h"
#include "platform/dialog/dialog_picture.h"
#include "platform/dialog/dialog_resources.h"
#include "platform/kernel/message_box.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"
#include "tests/support/scoped_window_system.h"

namespace {

using platform::DialogControlKind;

constexpr int kTemplate = 7001;
constexpr int kIconResource = 7002;

const platform::DialogControlTemplate kControls[] = {
    {1, DialogControlKind::kDefaultButton, "OK", 100, 80, 40, 14},
    {-1, DialogControlKind::kGroupBox, "Group", 5, 2, 150, 60},
    {-1, DialogControlKind::kLabel, "NAME", 10, 12, 40, 9},
    {10, DialogControlKind::kEdit, "start", 55, 10, 90, 12},
    {11, DialogControlKind::kIcon, "", 10, 30, 18, 20},
    {12, DialogControlKind::kReport, "", 40, 30, 110, 30},
};
const platform::DialogTemplate kDialog{"Test Dialog", 160, 100, kControls};

// What the test dialog's procedure saw.
struct Seen {
  std::vector<UINT> messages;
  std::vector<WPARAM> commands;
  LPARAM initParameter = 0;
};
Seen gSeen;

std::intptr_t TestProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  gSeen.messages.push_back(message);
  if (message == WM_INITDIALOG) {
    gSeen.initParameter = lParam;
    return TRUE;
  }
  if (message == WM_COMMAND) {
    gSeen.commands.push_back(wParam);
    if (LOWORD(wParam) == IDCANCEL) {
      EndDialog(dialog, IDCANCEL);
    }
    return TRUE;
  }
  return FALSE;
}

class Dialog : public testing::Test {
 protected:
  Dialog() {
    gSeen = Seen{};
    platform::RegisterDialogTemplate(kTemplate, kDialog);
    platform::IconImage icon;
    icon.width = 2;
    icon.height = 1;
    icon.pixels = {0xF800, 0x001F};
    icon.opaque = {true, false};
    platform::RegisterIconImage(kIconResource, icon);
  }
  ~Dialog() override {
    if (dialog_ != nullptr) {
      DestroyWindow(dialog_);
    }
    platform::ClearDialogResources();
  }
  void Open() {
    dialog_ = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kTemplate), nullptr, &TestProc, 77);
    ASSERT_NE(dialog_, nullptr);
  }
  std::string Text(int id) {
    char text[64];
    GetWindowTextA(GetDlgItem(dialog_, id), text, sizeof text);
    return text;
  }

  test_support::ScopedWindowSystem windows_;
  HWND dialog_ = nullptr;
};

TEST_F(Dialog, OpensFromItsTemplateWithTheParameter) {
  EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kTemplate + 1), nullptr, &TestProc, 0),
            nullptr);
  Open();
  ASSERT_FALSE(gSeen.messages.empty());
  EXPECT_EQ(gSeen.initParameter, 77);
  EXPECT_EQ(Text(10), "start");
  EXPECT_EQ(platform::DialogDefaultButton(dialog_), 1);
  EXPECT_EQ(GetDlgItem(dialog_, 99), nullptr);
  EXPECT_EQ(platform::GetShownWindow(), dialog_);
}

TEST_F(Dialog, TextsAreCopiedBounded) {
  Open();
  HWND edit = GetDlgItem(dialog_, 10);
  EXPECT_TRUE(SetWindowTextA(edit, "abcdef"));
  EXPECT_EQ(GetWindowTextLengthA(edit), 6);
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetWindowTextA(edit, small, sizeof small), 3);
  EXPECT_EQ(std::string(small), "abc");
  EXPECT_TRUE(SetDlgItemTextA(dialog_, 10, nullptr));
  EXPECT_EQ(GetWindowTextLengthA(edit), 0);
  // The dialog itself and other windows are no controls.
  EXPECT_FALSE(SetWindowTextA(dialog_, "x"));
  EXPECT_EQ(GetWindowTextLengthA(dialog_), 0);
  EXPECT_FALSE(SetDlgItemTextA(dialog_, 99, "x"));
}

TEST_F(Dialog, IconsGoIntoIconControlsAndAreDestroyedOnce) {
  Open();
  HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(kIconResource));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(kIconResource + 1)), nullptr);
  EXPECT_EQ(
      SendDlgItemMessageA(dialog_, 11, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)),
      0);
  EXPECT_EQ(platform::DialogIconId(dialog_, 11), kIconResource);
  EXPECT_EQ(SendDlgItemMessageA(dialog_, 11, STM_SETIMAGE, IMAGE_ICON, 0),
            reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(platform::DialogIconId(dialog_, 11), 0);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
}

TEST_F(Dialog, AButtonClickedWithTheMouseSendsItsCommand) {
  Open();
  // OK lies at (200, 160) - (280, 188) in pixels.
  SendMessageA(dialog_, WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseLParam(210, 170));
  SendMessageA(dialog_, WM_LBUTTONUP, 0, MakeMouseLParam(270, 180));
  // Pressed on the button and let go beside it: no click.
  SendMessageA(dialog_, WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseLParam(210, 170));
  SendMessageA(dialog_, WM_LBUTTONUP, 0, MakeMouseLParam(100, 20));
  // Pressed beside it and let go on it: no click either.
  SendMessageA(dialog_, WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseLParam(100, 20));
  SendMessageA(dialog_, WM_LBUTTONUP, 0, MakeMouseLParam(210, 170));
  ASSERT_EQ(gSeen.commands.size(), 1u);
  EXPECT_EQ(LOWORD(gSeen.commands[0]), 1);
  EXPECT_EQ(HIWORD(gSeen.commands[0]), BN_CLICKED);
}

TEST_F(Dialog, TheCloseBoxIsCancel) {
  Open();
  SendMessageA(dialog_, WM_CLOSE, 0, 0);
  ASSERT_EQ(gSeen.commands.size(), 1u);
  EXPECT_EQ(LOWORD(gSeen.commands[0]), IDCANCEL);
}

TEST_F(Dialog, HeadlessItRunsUntilTheScriptEndsAndPrintsItsTexts) {
  testing::internal::CaptureStdout();
  const std::intptr_t result =
      DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kTemplate), nullptr, &TestProc, 0);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(printed, "Test Dialog\n10 NAME: start\n11 icon: 0\n12 NAME:\n");
  EXPECT_EQ(gSeen.messages.back(), WM_DESTROY);
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kTemplate + 1), nullptr, &TestProc, 0), -1);
}

TEST_F(Dialog, DescribesMultiLineTextsLineByLine) {
  Open();
  SetDlgItemTextA(dialog_, 12, "first\r\nsecond\r\n");
  EXPECT_EQ(platform::DescribeDialog(dialog_),
            "Test Dialog\n10 NAME: start\n11 icon: 0\n12 NAME: first\n    second\n");
}

TEST_F(Dialog, ControlsMayBeWrittenFromAnotherThread) {
  Open();
  std::thread writer([this] {
    for (int i = 0; i < 1000; ++i) {
      SetDlgItemTextA(dialog_, 12, i % 2 == 0 ? "even" : "odd");
    }
  });
  for (int i = 0; i < 100; ++i) {
    const platform::Frame frame = platform::DrawDialog(dialog_);
    EXPECT_EQ(frame.width, 320);
  }
  writer.join();
  EXPECT_EQ(Text(12), "odd");
}

// A display with a window and no input, standing for the SDL2 window.
class WindowedBackend : public platform::DisplayBackend {
 public:
  bool PollEvent(DWORD /*now*/, platform::BackendEvent& /*event*/) override { return false; }
  std::optional<DWORD> NextEventTime() const override { return std::nullopt; }
  void ShowWindow(const std::string& /*title*/, int /*width*/, int /*height*/) override {}
  void HideWindow() override {}
  void SetCursorVisible(bool /*visible*/) override {}
  void Present(const platform::Frame& /*frame*/) override {}
};

TEST_F(Dialog, InAWindowAMessageBoxWaitsForItsOk) {
  auto previous = platform::SetDisplayBackend(std::make_unique<WindowedBackend>());
  Open();
  std::atomic<int> answer{0};
  std::thread worker(
      [this, &answer] { answer = MessageBoxA(dialog_, "Careful", "Probex", MB_ICONEXCLAMATION); });
  while (platform::DialogMessageBoxText(dialog_).empty()) {
    std::this_thread::yield();
  }
  // While the box is shown, the dialog's own buttons take no clicks.
  SendMessageA(dialog_, WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseLParam(210, 170));
  SendMessageA(dialog_, WM_LBUTTONUP, 0, MakeMouseLParam(210, 170));
  EXPECT_TRUE(gSeen.commands.empty());
  EXPECT_EQ(answer.load(), 0);
  const platform::PixelRect ok = platform::PlaceMessageBox(320, 200).ok;
  const LPARAM centre = MakeMouseLParam((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
  SendMessageA(dialog_, WM_LBUTTONDOWN, MK_LBUTTON, centre);
  SendMessageA(dialog_, WM_LBUTTONUP, 0, centre);
  worker.join();
  EXPECT_EQ(answer.load(), IDOK);
  EXPECT_EQ(platform::DialogMessageBoxText(dialog_), "");
  EXPECT_TRUE(gSeen.commands.empty());
  platform::SetDisplayBackend(std::move(previous));
}

TEST_F(Dialog, HeadlessAMessageBoxIsAnsweredAtOnce) {
  Open();
  EXPECT_EQ(MessageBoxA(dialog_, "Careful", "Probex", MB_ICONEXCLAMATION), IDOK);
  EXPECT_EQ(platform::DialogMessageBoxText(dialog_), "");
}

TEST(DialogText, WrapsAtLineBreaksSpacesAndWithinTooLongWords) {
  EXPECT_EQ(platform::WrapText("one\r\ntwo\nthree", 500),
            (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(platform::WrapText("", 500), std::vector<std::string>{});
  // Two words do not fit 60 pixels, one does.
  EXPECT_EQ(platform::WrapText("aaaa bbbb  cccc", 60),
            (std::vector<std::string>{"aaaa", "bbbb", "cccc"}));
  // A word wider than the box is broken where it reaches the edge.
  std::string joined;
  for (const std::string& line : platform::WrapText(std::string(80, 'w'), 100)) {
    EXPECT_LT(line.size(), 80u);
    joined += line;
  }
  EXPECT_EQ(joined, std::string(80, 'w'));
}

}  // namespace
