#include "battle/ui/text_list.h"

#include <algorithm>
#include <iterator>

#include "battle/ui/ui_toolkit.h"

namespace {

constexpr COLORREF kSelectedText = 0x00FFFF;
constexpr COLORREF kSelectedBackground = 0xFF0000;
constexpr COLORREF kBackground = 0;
// A cell's text starts this far right of its left edge.
constexpr int kTextIndent = 2;

void DrawCell(HDC dc, const UiCell& cell, bool selected, int& left, int top) {
  SetTextColor(dc, selected ? kSelectedText : cell.colour);
  SetBkColor(dc, selected ? kSelectedBackground : kBackground);
  const RECT box{left, top, left + cell.width, top + kUiRowHeight};
  ExtTextOutA(dc, left + kTextIndent, top, ETO_CLIPPED | ETO_OPAQUE, &box, cell.text.c_str(),
              static_cast<UINT>(cell.text.size()), nullptr);
  left = box.right;
}

}  // namespace

CTextList* CTextList::Create(int x, int y, int width, int height) {
  auto* list = new CTextList();
  list->kind = kUiTextList;
  list->sprite = CreateUiSprite(x, y, width, height);
  list->rect = RECT{x, y, x + width, y + height};
  list->visible_ = height / kUiRowHeight;
  AddUiWidget(list);
  return list;
}

void CTextList::Destroy(CTextList* list) {
  RemoveUiWidget(list);
  DestroyUiSprite(list->sprite);
  delete list;
}

void CTextList::Draw() {
  const HDC dc = sprite->panel.dc();
  const HFONT font = GetUiListFont();
  const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
  SetTextAlign(dc, TA_LEFT | TA_TOP);
  int top = 0;
  int index = first_;
  for (auto row = std::next(rows_.begin(), std::min(first_, RowCount()));
       row != rows_.end() && top + kUiRowHeight <= sprite->height; ++row, ++index) {
    const bool selected = index == selected_;
    int left = 0;
    DrawCell(dc, *row, selected, left, top);
    for (const UiCell& cell : row->further) {
      DrawCell(dc, cell, selected, left, top);
    }
    top += kUiRowHeight;
  }
  if (previous != nullptr) {
    SelectObject(dc, previous);
  }
  sprite->panel.SetDirty();
}

UiCell* CTextList::AddRow(int width, const char* text, int value, COLORREF colour) {
  rows_.push_back(UiCell{width, text, value, colour, {}});
  if (RowCount() - first_ <= visible_) {
    Draw();
  }
  return &rows_.back();
}

UiCell* CTextList::AddCell(UiCell* row, int width, const char* text, COLORREF colour) {
  const int value = static_cast<int>(row->further.size());
  row->further.push_back(UiCell{width, text, value, colour, {}});
  Draw();
  return &row->further.back();
}

void CTextList::SetCellText(UiCell* row, int index, const char* text, COLORREF colour) {
  if (index < 0 || index >= static_cast<int>(row->further.size())) {
    return;
  }
  UiCell& cell = *std::next(row->further.begin(), index);
  cell.text = text;
  cell.colour = colour;
  Draw();
}

UiCell* CTextList::GetRow(int index) {
  if (index < 0 || index >= RowCount()) {
    return nullptr;
  }
  return &*std::next(rows_.begin(), index);
}

UiCell* CTextList::GetSelectedRow() { return selected_ < 0 ? nullptr : GetRow(selected_); }

void CTextList::ScrollToSelection() {
  if (selected_ >= 0) {
    if (selected_ < first_) {
      first_ = selected_;
    } else if (selected_ > first_ + visible_ - 1) {
      first_ = selected_ - visible_ + 1;
    }
  }
  Draw();
}

void CTextList::ScrollTo(int index) {
  if (index >= 0 && index < RowCount()) {
    first_ = index <= first_ ? index : std::max(0, std::min(index, RowCount() - visible_));
  }
  Draw();
}

int HitTestUiList(int /*kind*/, CTextList* list, int /*x*/, int y) {
  const int row = (y - list->rect.top) / kUiRowHeight;
  if (row >= list->VisibleRowCount() || list->FirstVisibleRow() + row >= list->RowCount()) {
    return 0;
  }
  return list->GetRow(list->FirstVisibleRow() + row)->value >= 0 ? 1 : 0;
}
