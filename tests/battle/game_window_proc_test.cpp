#include "battle/main/game_window_proc.h"

#include <gtest/gtest.h>

#include "battle/arena/arena_view.h"
#include "battle/arena/input_event.h"
#include "battle/arena/player_tank.h"
#include "battle/main/game_session.h"
#include "common/messages.h"
#include "platform/window/cursor.h"
#include "tests/battle/game_fixture.h"

namespace {

// Stands for a device and a palette: the window procedure only passes them on.
int gDeviceStandIn;
int gPaletteStandIn;

class GameWindowProcTest : public test::GameFixture {
 protected:
  GameWindowProcTest() {
    ClearPaletteState();
    // Installed, so that what the default procedure sends back comes here too.
    SetWindowLongA(window_, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&GameWindowProc));
  }
  ~GameWindowProcTest() override { ClearPaletteState(); }

  static void ClearPaletteState() {
    gRenderDevice = nullptr;
    gGameSession.palettes.ShowLoadingPalette(nullptr);
    gGameSession.palettes.ClearReselectPending();
  }
};

struct MessageCase {
  const char* name;
  UINT message;
  WPARAM wParam;
  bool fromThisWindow;  // wParam is the game window itself
  bool deviceExists;
  std::uint32_t reselectBefore;
  LRESULT result;
  std::uint32_t reselectAfter;
  bool windowSurvives;
};

class GameWindowProcMessages : public GameWindowProcTest,
                               public testing::WithParamInterface<MessageCase> {};

TEST_P(GameWindowProcMessages, AnswersAsTheTableSays) {
  const MessageCase& c = GetParam();
  if (c.deviceExists) {
    gRenderDevice = reinterpret_cast<R3xRenderDevice*>(&gDeviceStandIn);
  }
  gGameSession.palettes.ShowLoadingPalette(reinterpret_cast<R3xPalette*>(&gPaletteStandIn));
  if (c.reselectBefore != 0) {
    gGameSession.palettes.RequestReselect();
  }
  const WPARAM wParam = c.fromThisWindow ? reinterpret_cast<WPARAM>(window_) : c.wParam;

  EXPECT_EQ(GameWindowProc(window_, c.message, wParam, MakeMouseLParam(320, 200)), c.result);
  EXPECT_EQ(gGameSession.palettes.ReselectPending(), c.reselectAfter != 0);
  platform::WindowState state{};
  EXPECT_EQ(platform::GetWindowState(window_, state), c.windowSurvives);
  EXPECT_TRUE(test::HostMessages().empty()) << "the host's procedure is not chained";
}

constexpr WPARAM kScClose = 0xF060;
constexpr WPARAM kOtherWindow = 0x1234;

INSTANTIATE_TEST_SUITE_P(
    Table, GameWindowProcMessages,
    testing::Values(
        MessageCase{"Create", WM_CREATE, 0, false, true, 0, 0, 0, true},
        MessageCase{"Destroy", WM_DESTROY, 0, false, true, 0, 0, 0, true},
        MessageCase{"Move", WM_MOVE, 0, false, true, 0, 0, 0, true},
        MessageCase{"Size", WM_SIZE, 0, false, true, 0, 0, 0, true},
        MessageCase{"Paint", WM_PAINT, 0, false, true, 0, 0, 0, true},
        MessageCase{"Activate", WM_ACTIVATE, WA_ACTIVE, false, true, 0, 0, 0, true},
        MessageCase{"ActivateApp", WM_ACTIVATEAPP, 1, false, true, 0, 0, 0, true},
        MessageCase{"ScreenSaverNeverStarts", WM_SYSCOMMAND, SC_SCREENSAVE, false, true, 0, 0, 0,
                    true},
        MessageCase{"OtherSystemCommandsAreDefault", WM_SYSCOMMAND, kScClose, false, true, 0, 0, 0,
                    true},
        // Mouse messages before the server has made the own tank: answered, nothing posted.
        MessageCase{"MouseMove", WM_MOUSEMOVE, 0, false, true, 0, 0, 0, true},
        MessageCase{"LeftButton", WM_LBUTTONDOWN, MK_LBUTTON, false, true, 0, 0, 0, true},
        MessageCase{"RightButton", WM_RBUTTONDOWN, MK_RBUTTON, false, true, 0, 0, 0, true},
        MessageCase{"MiddleButton", WM_MBUTTONDOWN, MK_MBUTTON, false, true, 0, 0, 0, true},
        MessageCase{"QueryPaletteWithoutReselect", WM_QUERYNEWPALETTE, 0, false, true, 0, 1, 0,
                    true},
        MessageCase{"QueryPaletteReattaches", WM_QUERYNEWPALETTE, 0, false, true, 1, 1, 0, true},
        MessageCase{"QueryPaletteWithoutDeviceIsDefault", WM_QUERYNEWPALETTE, 0, false, false, 1, 0,
                    1, true},
        MessageCase{"PaletteChangedByAnotherWindow", WM_PALETTECHANGED, kOtherWindow, false, true,
                    0, 0, 1, true},
        MessageCase{"PaletteChangedByTheGameWindow", WM_PALETTECHANGED, 0, true, true, 0, 0, 0,
                    true},
        // Anything else goes to the default procedure, which destroys a closed window.
        MessageCase{"CloseIsDefault", WM_CLOSE, 0, false, true, 0, 0, 0, false},
        MessageCase{"UserMessageIsDefault", WM_USER, 0, false, true, 1, 0, 1, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(GameWindowProcTest, SetCursorHidesTheCursor) {
  int arrow = 0;
  SetCursor(&arrow);
  EXPECT_EQ(GameWindowProc(window_, WM_SETCURSOR, 0, 0), 0);
  EXPECT_EQ(SetCursor(&arrow), nullptr);
}

TEST_F(GameWindowProcTest, SetFocusShowsTheWindow) {
  ShowWindow(window_, SW_HIDE);
  EXPECT_EQ(GameWindowProc(window_, WM_SETFOCUS, 0, 0), 0);
  platform::WindowState state{};
  ASSERT_TRUE(platform::GetWindowState(window_, state));
  EXPECT_TRUE(state.visible);
}

// While the player's tank exists, mouse messages become its input events; before, nothing.
TEST_F(GameWindowProcTest, MouseMessagesPostInputEventsWhileThePlayersTankExists) {
  CMailbox input(kPlayerInputAddress);
  EXPECT_EQ(GameWindowProc(window_, WM_LBUTTONDOWN, 1, MakeMouseLParam(10, 20)), 0);
  EXPECT_EQ(input.Count(), 0u);
  TankCreateRecord record;
  record.id = KIND_TANK | 2;
  CPlayerTank tank(record);  // no world: a tank that does not work, but has its mailbox
  gGameSession.ownTank = &tank;
  const struct {
    UINT message;
    std::uint32_t code;
  } cases[] = {{WM_MOUSEMOVE, kMouseMove},
               {WM_LBUTTONDOWN, kMouseLeftDown},
               {WM_RBUTTONDOWN, kMouseRightDown},
               {WM_MBUTTONDOWN, kMouseMiddleDown}};
  for (const auto& c : cases) {
    EXPECT_EQ(GameWindowProc(window_, c.message, 3, MakeMouseLParam(320, 200)), 0);
    std::uint32_t length = 0;
    const MailboxMessagePtr message = input.Receive(length);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->sender, KIND_TANK | 2);
    EXPECT_EQ(ReadInputEvent(message->Bytes()), (InputEvent{kInputMouse, 3, c.code, 320, 200}));
  }
  gGameSession.ownTank = nullptr;
}

}  // namespace
