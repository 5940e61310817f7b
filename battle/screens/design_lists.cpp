// The design screen's three lists and what the player does with them: the equipment list by
// category, the bay list of the loadout and the list of the stored configuration.
#include <cstdio>
#include <string>

#include "battle/core/game_params.h"
#include "battle/screens/design_screen.h"
#include "battle/ui/ui_toolkit.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kCyan = 0xFFFF00;
constexpr COLORREF kYellow = 0x00FFFF;
constexpr COLORREF kBlack = 0;
constexpr int kNameWidth = 110;
constexpr int kBaysWidth = 29;
constexpr int kBayNumberWidth = 20;
constexpr int kBayTextWidth = 120;

bool InCategory(const EquipmentCategory& category, int kind) {
  if (kind == kKindEmpty) {
    return false;
  }
  if (!category.everyOtherKind) {
    return std::find(category.kinds.begin(), category.kinds.end(), kind) != category.kinds.end();
  }
  for (const EquipmentCategory& other : kEquipmentCategories) {
    if (!other.everyOtherKind && InCategory(other, kind)) {
      return false;
    }
  }
  return true;
}

int ChassisBays(int chassis) {
  return GetGameParamInt(kChassisCatalogue[static_cast<std::size_t>(chassis)].baysRow);
}

}  // namespace

void CDesignScreen::FillCategory() {
  int first = 0;
  if (equipmentList_ != nullptr) {
    first = equipmentList_->FirstVisibleRow();
    CTextList::Destroy(equipmentList_);
  }
  equipmentList_ = CTextList::Create(kEquipmentListPiece.x, kEquipmentListPiece.y,
                                     kEquipmentListPiece.width, kEquipmentListPiece.height);
  equipmentList_->SetCallback(&HitTestUiList);
  for (std::size_t index = 0; index < kEquipmentCategories.size(); ++index) {
    const EquipmentCategory& category = kEquipmentCategories[index];
    headingRows_[index] = equipmentList_->RowCount();
    UiCell* heading = equipmentList_->AddRow(kNameWidth, category.heading, -1, kCyan);
    equipmentList_->AddCell(heading, kBaysWidth, "", kYellow);
    for (int slot = 1; slot < kModuleSlotCount; ++slot) {
      const ModuleEntry& module = kModuleCatalogue[static_cast<std::size_t>(slot)];
      if (!module.Filled() || !InCategory(category, module.kind)) {
        continue;
      }
      const bool placeable = CanPlaceModule(slot, currentBay_) != 0;
      UiCell* row = equipmentList_->AddRow(kNameWidth, module.name, placeable ? slot : -1,
                                           placeable ? kWhite : kRed);
      const std::string bays = std::to_string(GetGameParamInt(module.baysRow));
      equipmentList_->AddCell(row, kBaysWidth, bays.c_str(), kYellow);
    }
    if (index + 1 < kEquipmentCategories.size()) {
      UiCell* separator = equipmentList_->AddRow(kNameWidth, "", -1, kBlack);
      equipmentList_->AddCell(separator, kBaysWidth, "", kYellow);
    }
  }
  equipmentList_->SetFirstVisibleRow(first);
  equipmentList_->Draw();
  scrollBar_->count = equipmentList_->RowCount() - equipmentList_->VisibleRowCount() + 1;
  LayoutUiScrollBar(scrollBar_);
}

CTextList* CDesignScreen::MakeBayRows(const DesignPiece& piece) const {
  CTextList* list = CTextList::Create(piece.x, piece.y, piece.width, piece.height);
  const int bays = ChassisBays(chassis_);
  for (int bay = 0; bay < bays; ++bay) {
    const std::string number = std::to_string(bay + 1) + ".";
    UiCell* row = list->AddRow(kBayNumberWidth, number.c_str(), bay, kWhite);
    list->AddCell(row, kBayTextWidth, "<empty>", kRed);
  }
  return list;
}

void CDesignScreen::WriteModules(CTextList* list, const Loadout& loadout) const {
  const int bays = ChassisBays(chassis_);
  int row = 0;
  for (const std::uint32_t slot : loadout) {
    if (slot >= static_cast<std::uint32_t>(kModuleSlotCount) || !kModuleCatalogue[slot].Filled()) {
      continue;
    }
    const ModuleEntry& module = kModuleCatalogue[slot];
    for (int needed = GetGameParamInt(module.baysRow); needed > 0 && row < bays; --needed) {
      list->SetCellText(list->GetRow(row++), 0, module.name, kGreen);
    }
    if (row >= bays) {
      return;
    }
  }
}

void CDesignScreen::FillBays() {
  if (storedList_ != nullptr) {
    CTextList::Destroy(storedList_);
  }
  storedList_ = MakeBayRows(kStoredListPiece);
  WriteModules(storedList_, storedConfiguration_);
}

void CDesignScreen::RebuildBayList() {
  if (bayList_ != nullptr) {
    CTextList::Destroy(bayList_);
  }
  bayList_ = MakeBayRows(kBayListPiece);
}

void CDesignScreen::RefreshBays() { WriteModules(bayList_, loadout_); }

void CDesignScreen::PlaceSelectedModule() {
  const UiCell* selected = equipmentList_->GetSelectedRow();
  if (selected == nullptr || selected->value < 0) {
    return;
  }
  const int slot = selected->value;
  loadout_[static_cast<std::size_t>(currentBay_)] = 0;
  ValidateLoadout();
  if (CanPlaceModule(slot, currentBay_) != 0) {
    loadout_[static_cast<std::size_t>(currentBay_)] = static_cast<std::uint32_t>(slot);
    CheckLoadout();
  }
  const int selectedRow = equipmentList_->SelectedRow();
  FillCategory();
  equipmentList_->SelectRow(selectedRow);
  equipmentList_->Draw();
  RefreshBays();
}

void CDesignScreen::RemoveBayRow(int row) {
  int sum = 0;
  for (int entry = 0; entry < kLoadoutSize; ++entry) {
    const ModuleEntry* module = ModuleAt(entry);
    sum += GetGameParamInt(module != nullptr ? module->baysRow : kModuleCatalogue[0].baysRow);
    if (sum > row) {
      bayList_->SelectRow(-1);
      loadout_[static_cast<std::size_t>(entry)] = 0;
      CheckLoadout();
      FillCategory();
      RefreshBays();
      return;
    }
  }
}

void CDesignScreen::FollowListWithBar() {
  scrollBar_->position = equipmentList_->FirstVisibleRow();
  LayoutUiScrollBar(scrollBar_);
}

void CDesignScreen::JumpToCategory(int category) {
  const int heading = headingRows_[static_cast<std::size_t>(category)];
  equipmentList_->ScrollTo(heading);
  equipmentList_->SelectRow(-1);
  for (int index = heading + 1; index < equipmentList_->RowCount(); ++index) {
    const UiCell* row = equipmentList_->GetRow(index);
    if (row->value >= 0) {
      equipmentList_->SelectRow(index);
      break;
    }
    if (row->text.empty()) {
      break;
    }
  }
  equipmentList_->Draw();
  FollowListWithBar();
}

void CDesignScreen::MoveEquipmentSelection(int step) {
  const int selected = equipmentList_->SelectedRow();
  if (selected < 0) {
    return;
  }
  for (int index = selected + step; index >= 0 && index < equipmentList_->RowCount();
       index += step) {
    if (equipmentList_->GetRow(index)->value >= 0) {
      equipmentList_->SelectRow(index);
      equipmentList_->ScrollToSelection();
      FollowListWithBar();
      return;
    }
  }
}
