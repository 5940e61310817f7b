#include "battle/ui/text_list.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/battle_ui/ui_fixture.h"

namespace {

using TextListTest = UiFixture;

CTextList* ListOfRows(int height, int rows) {
  CTextList* list = CTextList::Create(0, 0, 120, height);
  for (int row = 0; row < rows; ++row) {
    list->AddRow(60, std::to_string(row).c_str(), row, 0x00FFFFFF);
  }
  return list;
}

TEST_F(TextListTest, TheWindowShowsItsHeightInWholeRows) {
  const struct {
    int height;
    int visible;
  } cases[] = {{130, 10}, {197, 15}, {12, 0}};
  for (const auto& c : cases) {
    CTextList* list = CTextList::Create(5, 6, 100, c.height);
    EXPECT_EQ(list->VisibleRowCount(), c.visible) << c.height;
    EXPECT_EQ(list->SelectedRow(), -1);
    EXPECT_EQ(list->rect.bottom, 6 + c.height);
    CTextList::Destroy(list);
  }
}

TEST_F(TextListTest, ScrollToBringsARowToTheTopWithinTheLastFullWindow) {
  const struct {
    int rows;
    int height;
    int firstBefore;
    int index;
    int firstAfter;
  } cases[] = {
      {50, 197, 0, 40, 35},  {50, 197, 0, 20, 20},  {5, 130, 0, 3, 0},
      {50, 197, 30, 10, 10}, {50, 197, 30, 50, 30}, {50, 197, 30, -1, 30},
  };
  for (const auto& c : cases) {
    CTextList* list = ListOfRows(c.height, c.rows);
    list->ScrollTo(c.firstBefore);
    list->ScrollTo(c.index);
    EXPECT_EQ(list->FirstVisibleRow(), c.firstAfter) << c.index;
    EXPECT_EQ(list->SelectedRow(), -1);
    CTextList::Destroy(list);
  }
}

TEST_F(TextListTest, ScrollToSelectionShowsTheSelectionAsTheLastOrFirstRow) {
  const struct {
    int firstBefore;
    int selected;
    int firstAfter;
  } cases[] = {{0, 30, 16}, {20, 5, 5}, {0, 14, 0}, {0, -1, 0}};
  for (const auto& c : cases) {
    CTextList* list = ListOfRows(197, 50);
    list->ScrollTo(c.firstBefore);
    list->SelectRow(c.selected);
    list->ScrollToSelection();
    EXPECT_EQ(list->FirstVisibleRow(), c.firstAfter) << c.selected;
    CTextList::Destroy(list);
  }
}

TEST_F(TextListTest, ARowBelowTheWindowIsNotDrawnWhenAdded) {
  CTextList* list = ListOfRows(130, 19);
  Shown(*list->sprite);
  list->AddRow(60, "20th", 19, 0x00FFFFFF);
  EXPECT_FALSE(list->sprite->panel.dirty());
  CTextList::Destroy(list);
  list = ListOfRows(130, 9);
  Shown(*list->sprite);
  list->AddRow(60, "10th", 9, 0x00FFFFFF);
  EXPECT_TRUE(list->sprite->panel.dirty());
  CTextList::Destroy(list);
}

TEST_F(TextListTest, CellEditsReachOnlyFurtherCellsThatExist) {
  CTextList* list = CTextList::Create(0, 0, 200, 130);
  UiCell* row = list->AddRow(60, "Shield", 1, 0x00FFFFFF);
  list->AddCell(row, 30, "2", 0x0000FF00);
  UiCell* second = list->AddCell(row, 30, "x", 0x0000FF00);
  EXPECT_EQ(second->value, 1);
  list->SetCellText(row, 0, "3", 0x000000FF);
  EXPECT_EQ(row->text, "Shield");
  EXPECT_EQ(row->further.front().text, "3");
  EXPECT_EQ(row->further.front().colour, 0x000000FFu);
  list->SetCellText(row, 2, "never", 0);
  EXPECT_EQ(row->further.back().text, "x");
  EXPECT_EQ(list->GetRow(-1), nullptr);
  EXPECT_EQ(list->GetRow(1), nullptr);
  EXPECT_EQ(list->GetRow(0), row);
  EXPECT_EQ(list->GetSelectedRow(), nullptr);
  list->SelectRow(0);
  EXPECT_EQ(list->GetSelectedRow(), row);
  CTextList::Destroy(list);
}

TEST_F(TextListTest, TheSelectedRowIsBlueAndOnlyTheCellsArePainted) {
  CTextList* list = CTextList::Create(0, 0, 120, 39);
  list->AddRow(60, "a", 0, 0x00FFFFFF);
  list->AddRow(60, "b", 1, 0x00FFFFFF);
  // A marker right of the cells and below the rows survives the drawing.
  list->sprite->At(100, 5) = 0x1234;
  list->sprite->At(10, 30) = 0x1234;
  list->SelectRow(1);
  list->Draw();
  constexpr std::uint16_t kBlue = 0x001F;
  EXPECT_EQ(list->sprite->At(59, 12), 0);
  EXPECT_EQ(list->sprite->At(59, 14), kBlue);
  EXPECT_EQ(list->sprite->At(100, 5), 0x1234);
  EXPECT_EQ(list->sprite->At(10, 30), 0x1234);
  EXPECT_TRUE(list->sprite->panel.dirty());
  CTextList::Destroy(list);
}

}  // namespace
