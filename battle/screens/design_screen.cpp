// The design screen's life: Open builds it, Run draws a frame and handles one event, Close
// completes the loadout and tears it down.
#include "battle/screens/design_screen.h"

#include <cctype>
#include <cstring>
#include <functional>

#include "battle/arena/arena_view.h"
#include "battle/core/game_params.h"
#include "battle/effects/palettes.h"
#include "battle/ui/ui_toolkit.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"

namespace {

constexpr int kWadSlots = 2;
constexpr int kFullPalette = 1;

UiSprite* PieceSprite(R3xWad* archive, const char* bitmap, const DesignPiece& piece) {
  return CreateUiBitmapSprite(archive, bitmap, piece.x, piece.y, piece.width, piece.height);
}

}  // namespace

CDesignScreen::~CDesignScreen() { Close(); }

void CDesignScreen::Open() {
  R3xWad* archive = r3xOpenWad(kDesignArchive, kWadSlots);
  if (archive == nullptr) {
    return;
  }
  palette_ = r3xCreatePalette(nullptr, archive, kDesignBackground.bitmap, kFullPalette);
  background_ = CreateUiSprite(0, 0, kDesignBackground.width, kDesignBackground.height);
  // The blank panel holds the picture the texts go on.
  CPanel picture(archive, 0, 0, kDesignBackground.width, kDesignBackground.height,
                 kDesignBackground.bitmap);
  picture.Place(0, 0, kUiOpaque);
  picture.BlitTo(1, &background_->panel);
  background_->panel.SetDirty();
  InitUi(background_);
  CheckLoadout(true);

  const auto makeButton = [&](DesignButton which, const DesignPiece& piece) {
    UiSprite* normal = PieceSprite(archive, piece.bitmap, piece);
    UiSprite* pressed = normal;
    if (piece.pressedBitmap != piece.bitmap) {
      pressed = PieceSprite(archive, piece.pressedBitmap, piece);
    }
    buttonImages_[which] = {normal, pressed};
    buttons_[which] =
        CreateUiButton(piece.x, piece.y, piece.width, piece.height, normal, pressed, nullptr);
  };
  if (chassisChangeAllowed_) {
    makeButton(kPrevious, kPreviousChassisButton);
    makeButton(kNext, kNextChassisButton);
  }
  scrollSprites_ = {PieceSprite(archive, kScrollUpPiece.bitmap, kScrollUpPiece),
                    PieceSprite(archive, kScrollUpPiece.pressedBitmap, kScrollUpPiece),
                    PieceSprite(archive, kScrollDownPiece.bitmap, kScrollDownPiece),
                    PieceSprite(archive, kScrollDownPiece.pressedBitmap, kScrollDownPiece),
                    PieceSprite(archive, kScrollThumbPiece.bitmap, kScrollThumbPiece)};
  scrollBar_ =
      CreateUiScrollBar(kScrollBarPiece.x, kScrollBarPiece.y, kScrollBarPiece.width,
                        kScrollBarPiece.height, nullptr, scrollSprites_[0], scrollSprites_[1],
                        scrollSprites_[2], scrollSprites_[3], scrollSprites_[4]);
  FillCategory();
  RebuildBayList();
  RefreshBays();
  makeButton(kDone, kDoneButton);
  makeButton(kApply, kApplyButton);
  makeButton(kSave, kSaveButton);
  for (int configuration = 0; configuration < 3; ++configuration) {
    makeButton(static_cast<DesignButton>(kConfigA + configuration),
               kConfigurationButtons[static_cast<std::size_t>(configuration)]);
  }
  batteryGauge_ = PieceSprite(archive, kBatteryGauge.bitmap, kBatteryGauge);
  armorPicture_ = PieceSprite(archive, kArmorPicture.bitmap, kArmorPicture);
  turretPicture_ =
      CreateUiKeyedSprite(archive, kTurretPicture.bitmap, kTurretPicture.x, kTurretPicture.y,
                          kTurretPicture.width, kTurretPicture.height);
  r3xCloseWad(archive);
  CheckOrCreateConfigurations();
  if (palettes_ != nullptr) {
    palettes_->ShowScreenPalette(palette_);
  }
  LoadAndShow(0);
}

void CDesignScreen::Run() {
  if (!IsOpen()) {
    Open();
    if (!IsOpen()) {
      return;
    }
  }
  if (const std::optional<UiEvent> event = PumpUiEvents()) {
    HandleEvent(*event);
  }
  DrawTexts();
  background_->panel.Draw(1);
  if (palettes_ != nullptr && palettes_->Applied() != palettes_->Current()) {
    r3xSetDevicePalette(gRenderDevice, palettes_->Current());
    palettes_->SetApplied(palettes_->Current());
    RedrawUiWidgets();
  }
  // With CPlayerTank: when the player's tank exists, its battery charge and size, armor points
  // and maximum, critical points and maximum set the gauges' windows (BatteryGaugeLeft,
  // DamagePictureLeft) through CPanel::SetSourceRect, and the three gauge panels are drawn
  // forced; its armor and critical points are drawn as "%d" at 229, 277 and 393, 277.
  DrawUiWidgetSprites();
  MoveUiCursor();
  r3xGlidePresent(gGlideContext, 1);
}

void CDesignScreen::Close() {
  if (!IsOpen()) {
    return;
  }
  CompleteLoadout();
  DestroyScreen();
  ShutdownUi();
}

void CDesignScreen::DestroyScreen() {
  for (UiSprite*& sprite :
       {std::ref(batteryGauge_), std::ref(armorPicture_), std::ref(turretPicture_)}) {
    DestroyUiSprite(sprite);
    sprite = nullptr;
  }
  for (std::size_t which = 0; which < buttons_.size(); ++which) {
    if (buttons_[which] != nullptr) {
      DestroyUiButton(buttons_[which]);
      buttons_[which] = nullptr;
    }
    auto& [normal, pressed] = buttonImages_[which];
    if (pressed != normal) {
      DestroyUiSprite(pressed);
    }
    DestroyUiSprite(normal);
    buttonImages_[which] = {};
  }
  for (CTextList** list : {&storedList_, &bayList_, &equipmentList_}) {
    if (*list != nullptr) {
      CTextList::Destroy(*list);
      *list = nullptr;
    }
  }
  if (scrollBar_ != nullptr) {
    DestroyUiScrollBar(scrollBar_);
    scrollBar_ = nullptr;
  }
  for (UiSprite*& sprite : scrollSprites_) {
    DestroyUiSprite(sprite);
    sprite = nullptr;
  }
  DestroyUiSprite(background_);
  background_ = nullptr;
  if (palette_ != nullptr) {
    // The frame tick then installs the game's palette again.
    if (palettes_ != nullptr) {
      palettes_->SetApplied(nullptr);
      palettes_->ShowNormalPalette();
    }
    r3xDestroyPalette(nullptr, palette_);
    palette_ = nullptr;
  }
}

void CDesignScreen::TranslateKey(InputEventWords& event) {
  if (event[0] != kInputKeyPress) {
    return;
  }
  const std::uint32_t code = event[1];
  event[0] = 0;
  if (code == '\r' || code == 0x1B) {
    event[0] = kInputCommand;
    event[1] = kLeaveDesignCommand;
  }
}

namespace {

// The leave key: a typed Enter for the vehicle's input mailbox, which the vehicle turns into the
// leave command.
void PostLeaveKey() {
  InputEventWords event{};
  event[0] = kInputKeyPress;
  event[1] = '\r';
  CMailbox::PostAnonymous(KIND_PLAYER_INPUT, MSG_INPUT_EVENT, sizeof event, event.data());
}

}  // namespace

void CDesignScreen::HandleEvent(const UiEvent& event) {
  const auto from = [&](DesignButton which) {
    return buttons_[which] != nullptr && event.widget == buttons_[which];
  };
  switch (event.kind) {
    case kUiReleased:
      if (from(kDone)) {
        PostLeaveKey();
      } else if (from(kSave)) {
        if (SaveConfiguration()) {
          FillBays();
        }
      } else if (from(kConfigA) || from(kConfigB) || from(kConfigC)) {
        LoadAndShow(from(kConfigA) ? 0 : from(kConfigB) ? 1 : 2);
      } else if (from(kApply)) {
        if (currentConfiguration_ >= 0) {
          loadout_ = storedConfiguration_;
          CheckLoadout();
          FillCategory();
          RebuildBayList();
          RefreshBays();
        }
      } else if (from(kPrevious) || from(kNext)) {
        ChangeChassis(from(kPrevious) ? 3 : 5);
      }
      return;
    case kUiActivated:
      if (event.widget == scrollBar_) {
        equipmentList_->SetFirstVisibleRow(scrollBar_->position);
        equipmentList_->Draw();
      }
      return;
    case kUiClickedAgain:
      if (event.widget == equipmentList_) {
        PlaceSelectedModule();
      }
      return;
    case kUiRightClicked:
      if (event.widget == bayList_) {
        const int row = (event.y - bayList_->rect.top) / kUiRowHeight;
        if (row < bayList_->VisibleRowCount() &&
            bayList_->FirstVisibleRow() + row < bayList_->RowCount()) {
          RemoveBayRow(bayList_->FirstVisibleRow() + row);
        }
      }
      return;
    case kUiKey:
      break;
    default:
      return;
  }
  const std::uint32_t key = event.key;
  if (key == '\r') {
    PlaceSelectedModule();
  } else if (key == 0x1B) {
    PostLeaveKey();
  } else if (key >= '0' && key <= '9') {
    const int row = key == '0' ? 9 : static_cast<int>(key - '1');
    if (row < GetGameParamInt(kChassisCatalogue[static_cast<std::size_t>(chassis_)].baysRow)) {
      bayList_->SelectRow(row);
      bayList_->Draw();
    }
  } else if (key == kUiKeyDelete) {
    if (bayList_->SelectedRow() >= 0) {
      RemoveBayRow(bayList_->SelectedRow());
    }
  } else if (key == kUiKeyUp || key == kUiKeyDown) {
    MoveEquipmentSelection(key == kUiKeyUp ? -1 : 1);
  } else {
    for (std::size_t category = 0; category < kEquipmentCategories.size(); ++category) {
      const char* heading = kEquipmentCategories[category].heading;
      const char letter = std::strchr(heading, '(')[1];
      if (std::tolower(static_cast<unsigned char>(letter)) == std::tolower(static_cast<int>(key))) {
        JumpToCategory(static_cast<int>(category));
        return;
      }
    }
  }
}

void CDesignScreen::LoadAndShow(int configuration) {
  if (LoadConfiguration(configuration)) {
    FillBays();
  }
}

void CDesignScreen::ChangeChassis(int step) {
  // Four chassis are offered, not five: "VarAzaru" is not.
  chassis_ = (chassis_ + step) % 4;
  LoadAndShow(0);
  loadout_.fill(0);
  currentBay_ = 0;
  FillCategory();
  RebuildBayList();
  RefreshBays();
}
