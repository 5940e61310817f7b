#include "battle/screens/design_screen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "battle/core/game_params.h"
#include "battle/effects/palettes.h"
#include "battle/screens/configuration_file.h"
#include "battle/screens/design_gauges.h"
#include "battle/ui/ui_toolkit.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "platform/win32.h"
#include "tests/battle_cockpit/cockpit_fixture.h"
#include "tests/support/scoped_window_system.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/pack_writer.h"

namespace {

int Slot(const char* name) {
  for (int slot = 0; slot < kModuleSlotCount; ++slot) {
    const ModuleEntry& entry = kModuleCatalogue[static_cast<std::size_t>(slot)];
    if (entry.Filled() && std::strcmp(entry.name, name) == 0) {
      return slot;
    }
  }
  ADD_FAILURE() << name;
  return -1;
}

void SetRow(std::size_t row, int value) {
  GameParamTable[row].SetConfirmed(static_cast<std::uint32_t>(value));
}

// The screen over a shown window whose procedure is the toolkit's, in a folder holding the
// archive, on the Glide context its panels are drawn with; every module needs one bay, every
// chassis has 8 and no built-in weapon.
class DesignScreenTest : public CockpitTest {
 protected:
  DesignScreenTest() : working_(folder_.Path()), scopedClock_(clock_) {}

  void SetUp() override {
    CockpitTest::SetUp();
    window_ = test_support::CreateShownWindow("DesignScreenTest", &HandleUiWindowMessage);
    ASSERT_NE(window_, nullptr);
    test_support::WriteTestFile(
        folder_ / "Design.r3x",
        mkdata::BuildPack({{"readme.txt", {'x'}}}, mkdata::PackLayout::kHeader));
    for (const ModuleEntry& entry : kModuleCatalogue) {
      if (entry.Filled()) {
        SetRow(entry.baysRow, 1);
      }
    }
    for (int chassis = 0; chassis < kChassisCount; ++chassis) {
      SetRow(kChassisCatalogue[static_cast<std::size_t>(chassis)].baysRow, 8);
      SetRow(BuiltInWeaponRow(chassis), 0);
    }
    baseSprites_ = CountUiSprites();
  }
  void TearDown() override {
    screen_.Close();
    InitGameParams();
    CockpitTest::TearDown();
  }

  // A press and release of the left button at the widget's top-left corner.
  void Click(const UiWidget* widget) {
    Post(WM_LBUTTONDOWN, widget->rect.left + 1, widget->rect.top + 1);
    Post(WM_LBUTTONUP, widget->rect.left + 1, widget->rect.top + 1);
    Frames(2);
  }
  void Post(UINT message, int x, int y) {
    PostMessageA(window_, message, 0, MakeMouseLParam(x, y));
  }
  void Key(std::uint32_t key) { screen_.HandleEvent(UiEvent{kUiKey, nullptr, key, 0, 0}); }
  void Frames(int count) {
    for (int frame = 0; frame < count; ++frame) {
      screen_.Run();
    }
  }
  std::string BayText(CTextList* list, int row) { return list->GetRow(row)->further.front().text; }

  test_support::ScratchFolder folder_;
  test_support::ScopedWorkingFolder working_;
  test_support::ScopedWindowSystem windows_;
  platform::VirtualClock clock_;
  platform::ScopedProcessClock scopedClock_;
  HWND window_ = nullptr;
  int baseSprites_ = 0;
  CDesignScreen screen_;
};

// A frame puts the background panel on the frame, then every widget's sprite over it, and
// presents it; the screen shows its own palette while it is open, the game's normal one after.
TEST_F(DesignScreenTest, AFrameDrawsTheBackgroundThenTheWidgetsInItsPalette) {
  test_support::WriteTestFile(
      folder_ / "Design.r3x",
      mkdata::BuildPack(
          {{"vconfig.bmp", mkdata::BuildBmp(mkdata::MakePatternImage(640, 480, 256))}},
          mkdata::PackLayout::kHeader));
  CPalettes palettes;
  screen_.SetPalettes(&palettes);
  screen_.Run();
  ASSERT_TRUE(screen_.IsOpen());
  ASSERT_NE(screen_.GetPalette(), nullptr);
  EXPECT_EQ(palettes.Current(), screen_.GetPalette());
  EXPECT_EQ(palettes.Applied(), screen_.GetPalette());
  const auto FramePixel = [](int x, int y) {
    return platform::glide::ColorBuffer(
        GR_BUFFER_FRONTBUFFER)[static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)];
  };
  EXPECT_EQ(FramePixel(2, 2), 0x0001) << "the blank background";
  const CTextList* bays = screen_.GetBayList();
  const int x = bays->rect.left + 3;
  const int y = bays->rect.top + 3;
  // The list's first row is white there: RGB555 in the panel, RGB565 on the buffer.
  EXPECT_EQ(bays->sprite->At(3, 3), 0x7FFF);
  EXPECT_EQ(FramePixel(x, y), 0xFFFF);
  screen_.Close();
  EXPECT_EQ(palettes.Applied(), nullptr);
  EXPECT_EQ(palettes.Current(), palettes.Normal());
}

TEST_F(DesignScreenTest, OpeningBuildsTheListsAndTheFileAndClosingTakesAllDown) {
  std::filesystem::remove(folder_ / "Design.r3x");
  screen_.Run();
  EXPECT_FALSE(screen_.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(folder_ / "config.dat"));
  test_support::WriteTestFile(
      folder_ / "Design.r3x",
      mkdata::BuildPack({{"readme.txt", {'x'}}}, mkdata::PackLayout::kHeader));
  screen_.Run();
  ASSERT_TRUE(screen_.IsOpen());
  EXPECT_EQ(std::filesystem::file_size(folder_ / "config.dat"), 3604u);
  EXPECT_EQ(screen_.GetCurrentConfiguration(), 0);
  EXPECT_EQ(screen_.GetBayList()->RowCount(), 8);
  EXPECT_EQ(screen_.GetStoredList()->RowCount(), 8);
  // Every entry of the empty loadout is the empty module, one bay each.
  EXPECT_EQ(BayText(screen_.GetBayList(), 0), " ");
  EXPECT_EQ(screen_.GetBayList()->GetRow(0)->text, "1.");
  CTextList* equipment = screen_.GetEquipmentList();
  EXPECT_EQ(equipment->GetRow(0)->text, "(C)annon");
  EXPECT_EQ(equipment->GetRow(0)->value, -1);
  EXPECT_EQ(equipment->GetRow(1)->text, "Cannon");
  EXPECT_EQ(equipment->GetRow(1)->value, Slot("Cannon"));
  // Frag shells need a cannon: listed red and not choosable.
  EXPECT_EQ(equipment->GetRow(2)->value, -1);
  EXPECT_EQ(equipment->GetRow(2)->colour, 0x0000FFu);
  EXPECT_EQ(equipment->GetRow(screen_.GetHeadingRow(6))->text, "(S)pecial");
  EXPECT_EQ(screen_.GetScrollBar()->count, equipment->RowCount() - 15 + 1);
  EXPECT_EQ(screen_.GetButton(CDesignScreen::kDone)->rect.right, 267 + 127);

  screen_.GetLoadout()[0] = static_cast<std::uint32_t>(Slot("Shield"));
  screen_.SetChassis(3);
  screen_.Close();
  EXPECT_FALSE(screen_.IsOpen());
  EXPECT_EQ(CountUiWidgets(), 0);
  EXPECT_EQ(CountUiSprites(), baseSprites_);
  EXPECT_EQ(screen_.GetLoadoutCount(), 1);
  EXPECT_EQ(screen_.GetLoadout()[1], static_cast<std::uint32_t>(kStealthSlot));
}

TEST_F(DesignScreenTest, CategoryKeysEnterDeleteAndArrowsFitTheVehicle) {
  screen_.Run();
  ASSERT_TRUE(screen_.IsOpen());
  CTextList* equipment = screen_.GetEquipmentList();
  Key('d');  // (D)efense: its first choosable row, the shield
  equipment = screen_.GetEquipmentList();
  ASSERT_GE(equipment->SelectedRow(), 0);
  EXPECT_EQ(equipment->GetSelectedRow()->text, "Shield");
  EXPECT_EQ(equipment->FirstVisibleRow(), screen_.GetHeadingRow(4));
  EXPECT_EQ(screen_.GetScrollBar()->position, equipment->FirstVisibleRow());
  Key('\r');
  EXPECT_EQ(screen_.GetLoadout()[0], static_cast<std::uint32_t>(Slot("Shield")));
  EXPECT_EQ(screen_.GetCurrentBay(), 1);
  EXPECT_EQ(BayText(screen_.GetBayList(), 0), "Shield");
  // The selection stays on its row; the shield is now refused, the boost accepted.
  equipment = screen_.GetEquipmentList();
  EXPECT_EQ(equipment->GetSelectedRow()->value, -1);
  Key(kUiKeyDown);
  EXPECT_EQ(screen_.GetEquipmentList()->GetSelectedRow()->text, "Shield Boost");
  Key('\r');
  EXPECT_EQ(screen_.GetLoadout()[1], static_cast<std::uint32_t>(Slot("Shield Boost")));

  // "1" selects the first bay row; Delete removes the shield, and the boost goes with it.
  Key('1');
  EXPECT_EQ(screen_.GetBayList()->SelectedRow(), 0);
  Key(kUiKeyDelete);
  EXPECT_EQ(screen_.GetLoadout()[0], 0u);
  EXPECT_EQ(screen_.GetLoadout()[1], 0u);
  EXPECT_EQ(screen_.GetBayList()->SelectedRow(), -1);
  // "9" is past the chassis's 8 bays.
  Key('9');
  EXPECT_EQ(screen_.GetBayList()->SelectedRow(), -1);
}

TEST_F(DesignScreenTest, ClicksOnTheListsPlaceAndRemoveModules) {
  screen_.Run();
  CTextList* equipment = screen_.GetEquipmentList();
  const int cannonY = equipment->rect.top + 13 * 1 + 2;
  Post(WM_LBUTTONDOWN, equipment->rect.left + 5, cannonY);
  Post(WM_LBUTTONDOWN, equipment->rect.left + 5, cannonY);
  Frames(3);
  EXPECT_EQ(screen_.GetLoadout()[0], static_cast<std::uint32_t>(Slot("Cannon")));
  CTextList* bays = screen_.GetBayList();
  Post(WM_RBUTTONDOWN, bays->rect.left + 5, bays->rect.top + 2);
  Frames(2);
  EXPECT_EQ(screen_.GetLoadout()[0], 0u);
}

TEST_F(DesignScreenTest, ChassisButtonsOfferFourChassisAndEmptyTheLoadout) {
  const struct {
    int from;
    CDesignScreen::DesignButton button;
    int to;
  } cases[] = {{1, CDesignScreen::kNext, 2},
               {1, CDesignScreen::kPrevious, 0},
               {0, CDesignScreen::kPrevious, 3},
               {3, CDesignScreen::kNext, 0},
               {4, CDesignScreen::kNext, 1}};
  screen_.Run();
  for (const auto& c : cases) {
    screen_.SetChassis(c.from);
    screen_.GetLoadout()[0] = static_cast<std::uint32_t>(Slot("Rockets"));
    Click(screen_.GetButton(c.button));
    EXPECT_EQ(screen_.GetChassis(), c.to) << c.from;
    EXPECT_EQ(screen_.GetLoadout()[0], 0u);
    EXPECT_EQ(screen_.GetCurrentBay(), 0);
  }
}

TEST_F(DesignScreenTest, SaveApplyAndTheConfigurationButtons) {
  screen_.Run();
  screen_.GetLoadout()[0] = static_cast<std::uint32_t>(Slot("Rockets"));
  screen_.GetLoadout()[1] = static_cast<std::uint32_t>(Slot("Cloak"));
  Click(screen_.GetButton(CDesignScreen::kConfigB));
  EXPECT_EQ(screen_.GetCurrentConfiguration(), 1);
  Click(screen_.GetButton(CDesignScreen::kSave));
  const std::string file = test_support::ReadTestFile(folder_ / "config.dat");
  const auto record = ReadConfiguration(
      std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()), 1, 1);
  ASSERT_TRUE(record);
  EXPECT_EQ((*record)[1], static_cast<std::uint32_t>(Slot("Cloak")));
  EXPECT_EQ(BayText(screen_.GetStoredList(), 1), "Cloak");

  Click(screen_.GetButton(CDesignScreen::kConfigA));
  EXPECT_EQ(screen_.GetCurrentConfiguration(), 0);
  EXPECT_EQ(BayText(screen_.GetStoredList(), 0), " ");
  Click(screen_.GetButton(CDesignScreen::kConfigB));
  screen_.GetLoadout().fill(0);
  Click(screen_.GetButton(CDesignScreen::kApply));
  EXPECT_EQ(screen_.GetLoadout()[1], static_cast<std::uint32_t>(Slot("Cloak")));
  EXPECT_EQ(BayText(screen_.GetBayList(), 1), "Cloak");
}

TEST_F(DesignScreenTest, DoneAndEscPostTheLeaveKeyToTheVehicle) {
  CMailbox input(KIND_PLAYER_INPUT);
  screen_.Run();
  Click(screen_.GetButton(CDesignScreen::kDone));
  Key(0x1B);
  for (int message = 0; message < 2; ++message) {
    std::uint32_t length = 0;
    MailboxMessagePtr received = input.Receive(length);
    ASSERT_NE(received, nullptr) << message;
    EXPECT_EQ(received->type, MSG_INPUT_EVENT);
    ASSERT_EQ(length, 48u);
    InputEventWords event{};
    std::memcpy(event.data(), received->Payload(), sizeof event);
    EXPECT_EQ(event[0], kInputKeyPress);
    EXPECT_EQ(event[1], 13u);
    CDesignScreen::TranslateKey(event);
    EXPECT_EQ(event[0], kInputCommand);
    EXPECT_EQ(event[1], kLeaveDesignCommand);
  }
  std::uint32_t length = 0;
  EXPECT_EQ(input.Receive(length), nullptr);
}

TEST_F(DesignScreenTest, ClosingTheWindowDuringTheScreenStillEndsTheGame) {
  screen_.Run();
  DestroyWindow(window_);
  screen_.Run();
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_QUIT);
}

TEST(DesignKeysTest, OnlyEnterAndEscKeyPressesGetThrough) {
  const struct {
    std::uint32_t kind;
    std::uint32_t code;
    std::uint32_t kindAfter;
    std::uint32_t codeAfter;
  } cases[] = {
      {kInputKeyPress, 13, kInputCommand, kLeaveDesignCommand},
      {kInputKeyPress, 27, kInputCommand, kLeaveDesignCommand},
      {kInputKeyPress, 'a', 0, 'a'},
      {5, 1, 5, 1},
      {kInputCommand, 0x1020, kInputCommand, 0x1020},
  };
  for (const auto& c : cases) {
    InputEventWords event{};
    event[0] = c.kind;
    event[1] = c.code;
    CDesignScreen::TranslateKey(event);
    EXPECT_EQ(event[0], c.kindAfter) << c.kind << " " << c.code;
    EXPECT_EQ(event[1], c.codeAfter) << c.kind << " " << c.code;
  }
}

TEST(DesignGaugesTest, GaugeWindowsStayOnTheirBitmaps) {
  const struct {
    int value;
    int maximum;
    int batteryLeft;
    int pictureLeft;
  } cases[] = {
      {100, 100, 0, 0},  {76, 100, 12, 0},  {75, 100, 12, 27},   {51, 100, 24, 27},
      {50, 100, 24, 54}, {26, 100, 35, 54}, {25, 100, 36, 81},   {1, 100, 47, 81},
      {0, 100, 47, 108}, {150, 100, 0, 0},  {-20, 100, 47, 108}, {5, 0, 47, 108},
      {5, -3, 47, 108},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BatteryGaugeLeft(47, c.value, c.maximum), c.batteryLeft)
        << c.value << "/" << c.maximum;
    EXPECT_EQ(DamagePictureLeft(27, c.value, c.maximum), c.pictureLeft)
        << c.value << "/" << c.maximum;
  }
}

}  // namespace
