// The toolkit's list box: fixed-height rows of coloured text cells, one selected row shown yellow
// on blue, a first visible row for scrolling, and a callback through which the owner refuses
// clicks on some rows.
#pragma once

#include <list>
#include <string>

#include "battle/ui/ui_widget.h"

class CTextList;

// Asked before a click acts: kind 1 (a new row is about to be selected), 2 (the selected row was
// clicked again) or 3 (right click), with the mouse's screen position; 0 refuses the click.
using UiListCallback = int (*)(int kind, CTextList* list, int x, int y);

// A row is its first cell with that cell's further cells; a row's value is its first cell's.
struct UiCell {
  int width;
  std::string text;
  int value;
  COLORREF colour;
  std::list<UiCell> further;
};

inline constexpr int kUiRowHeight = 13;

class CTextList : public UiWidget {
 public:
  // Appended to the toolkit's widgets, not drawn yet.
  static CTextList* Create(int x, int y, int width, int height);
  static void Destroy(CTextList* list);

  void SetCallback(UiListCallback callback) { callback_ = callback; }
  UiListCallback GetCallback() const { return callback_; }
  void Draw();
  UiCell* AddRow(int width, const char* text, int value, COLORREF colour);
  UiCell* AddCell(UiCell* row, int width, const char* text, COLORREF colour);
  // Index 0 is the row's first further cell; a row without that cell is left alone.
  void SetCellText(UiCell* row, int index, const char* text, COLORREF colour);
  UiCell* GetRow(int index);
  UiCell* GetSelectedRow();
  void ScrollToSelection();
  void ScrollTo(int index);

  int RowCount() const { return static_cast<int>(rows_.size()); }
  int FirstVisibleRow() const { return first_; }
  int VisibleRowCount() const { return visible_; }
  int SelectedRow() const { return selected_; }
  void SelectRow(int index) { selected_ = index; }
  // The owner's restore of a first visible row it remembered (no redraw).
  void SetFirstVisibleRow(int index) { first_ = index; }

 private:
  CTextList() = default;

  std::list<UiCell> rows_;
  int first_ = 0;
  int visible_ = 0;
  int selected_ = -1;
  UiListCallback callback_ = nullptr;
};

// The standard callback: accepts rows inside the window and the list whose value is 0 or more.
int HitTestUiList(int kind, CTextList* list, int x, int y);
