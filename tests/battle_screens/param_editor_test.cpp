#include "battle/screens/param_editor.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "common/mailbox.h"
#include "common/messages.h"
#include "host/interface/host_record.h"
#include "tests/battle_cockpit/cockpit_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

constexpr std::uint32_t kEsc = 0x01;
constexpr std::uint32_t kReturn = 0x1C;
constexpr std::uint32_t kSpace = 0x39;
constexpr std::uint32_t kUp = 0xC8;
constexpr std::uint32_t kPageUp = 0xC9;
constexpr std::uint32_t kLeft = 0xCB;
constexpr std::uint32_t kRight = 0xCD;
constexpr std::uint32_t kDown = 0xD0;
constexpr std::uint32_t kPageDown = 0xD1;
constexpr std::uint32_t kDelete = 0xD3;

// A table of 30 rows: integers, with rows 4 to 6 unused, row 10 a float.
class ParamEditorTest : public CockpitTest {
 protected:
  void SetUp() override {
    CockpitTest::SetUp();
    editor_ = CParamEditor::Create();
    ASSERT_NE(editor_, nullptr);
    for (std::size_t index = 0; index < table_.size(); ++index) {
      table_[index].type = index >= 4 && index <= 6 ? PARAM_TYPE_UNUSED : PARAM_TYPE_INTEGER;
      table_[index].name = "row";
    }
    table_[10].type = PARAM_TYPE_FLOAT;
    editor_->SetTable(table_.data(), table_.size());
  }

  // Sends one key press; returns the event as the editor left it.
  InputEventWords Press(std::uint32_t key, std::uint8_t modifiers = 0) {
    InputEventWords event{kInputKeyPress, key};
    editor_->OnKey(event, modifiers);
    return event;
  }
  void Select(int row) {
    while (editor_->GetSelectedRow() < row) {
      Press(kDown);
    }
    while (editor_->GetSelectedRow() > row) {
      Press(kUp);
    }
  }
  void SetInt(std::size_t row, std::int32_t value) {
    table_[row].SetConfirmed(static_cast<std::uint32_t>(value));
  }
  void SetFloat(std::size_t row, float value) {
    table_[row].SetConfirmed(std::bit_cast<std::uint32_t>(value));
  }

  std::array<CParam, 30> table_{};
  std::unique_ptr<CParamEditor> editor_;
};

TEST_F(ParamEditorTest, TheSelectionSkipsUnusedRowsAndStaysBetweenRowOneAndTheLast) {
  const struct {
    int from;
    std::uint32_t key;
    int to;
  } cases[] = {
      {1, kUp, 1},     {3, kDown, 7},   {7, kUp, 3},      {1, kPageDown, 12}, {20, kPageDown, 21},
      {28, kDown, 29}, {29, kDown, 29}, {15, kPageUp, 3}, {8, kPageUp, 7},
  };
  for (const auto& c : cases) {
    Select(c.from);
    ASSERT_EQ(editor_->GetSelectedRow(), c.from);
    const InputEventWords event = Press(c.key);
    EXPECT_EQ(event[0], 0u);
    EXPECT_EQ(editor_->GetSelectedRow(), c.to) << c.from << " " << c.key;
  }
}

TEST_F(ParamEditorTest, StepsFollowTheValueBeforeTheChange) {
  const struct {
    int row;
    bool isFloat;
    float before;
    std::uint32_t key;
    std::uint8_t modifiers;
    float after;
  } cases[] = {
      {2, false, 19, kRight, 0, 20},
      {2, false, 20, kRight, 0, 25},
      {2, false, 150, kLeft, 0, 100},
      {2, false, 5000, kRight, 0, 5500},
      {2, false, 20000, kRight, 0, 21000},
      {2, false, -25, kLeft, 0, -30},
      {2, false, 150, kRight, kModifierLeftShift, 151},
      {2, false, 30000, kRight, 0, 31000},
      {2, false, 30001, kRight, 0, 30001},
      {2, false, -30001, kLeft, 0, -30001},
      {10, true, 9.9f, kRight, 0, 10.4f},
      {10, true, 0.5f, kLeft, 0, 0.45f},
      {10, true, 2.0f, kRight, kModifierLeftShift, 2.1f},
  };
  for (const auto& c : cases) {
    Select(c.row);
    if (c.isFloat) {
      SetFloat(static_cast<std::size_t>(c.row), c.before);
    } else {
      SetInt(static_cast<std::size_t>(c.row), static_cast<std::int32_t>(c.before));
    }
    editor_->Draw();
    Press(c.key, c.modifiers);
    const CParam& row = table_[static_cast<std::size_t>(c.row)];
    const bool moved = c.after != c.before;
    if (c.isFloat) {
      EXPECT_NEAR(row.GetFloat(), c.after, 1e-4) << c.before;
    } else {
      EXPECT_EQ(row.GetInt(), static_cast<std::int32_t>(c.after)) << c.before;
    }
    EXPECT_EQ(row.modified != 0, moved) << c.before;
    EXPECT_EQ(editor_->NeedsRedraw(), moved) << c.before;
  }
}

TEST_F(ParamEditorTest, SpaceZeroesUsedRowsAndDeleteAndEscUndo) {
  Select(3);
  SetInt(3, 77);
  Press(kSpace);
  EXPECT_EQ(table_[3].GetInt(), 0);
  EXPECT_EQ(table_[3].modified, 1u);
  Press(kDelete);
  EXPECT_EQ(table_[3].GetInt(), 77);
  EXPECT_EQ(table_[3].modified, 0u);

  // Space on an unused row: nothing, no redraw.
  editor_->SetTable(table_.data(), table_.size());
  editor_->Draw();
  table_[3].type = PARAM_TYPE_UNUSED;
  Press(kSpace);
  EXPECT_FALSE(editor_->NeedsRedraw());
  table_[3].type = PARAM_TYPE_INTEGER;

  Press(kRight);
  Select(8);
  Press(kRight);
  const InputEventWords event = Press(kEsc);
  EXPECT_EQ(event[0], kInputCommand);
  EXPECT_EQ(event[1], kCloseParamEditorCommand);
  for (const CParam& row : table_) {
    EXPECT_EQ(row.modified, 0u);
  }
  EXPECT_EQ(table_[3].GetInt(), 77);
  // Other events are consumed.
  InputEventWords mouse{5, 1, 0, 10, 20};
  editor_->OnKey(mouse, 0);
  EXPECT_EQ(mouse[0], 0u);
}

TEST_F(ParamEditorTest, ReturnCountsTheDataVersionOnlyWhenSomethingChanged) {
  SetInt(0, 41);
  InputEventWords event = Press(kReturn);
  EXPECT_EQ(event[0], kInputCommand);
  EXPECT_EQ(table_[0].GetInt(), 41);
  Select(2);
  Press(kRight);
  event = Press(kReturn);
  EXPECT_EQ(event[1], kCloseParamEditorCommand);
  EXPECT_EQ(table_[0].GetInt(), 42);
  EXPECT_EQ(table_[0].modified, 1u);
}

TEST_F(ParamEditorTest, TheListShowsFifteenRowsAboveAndFourteenBelowInTheirColours) {
  Select(20);
  SetInt(19, 5);
  table_[19].SetEdited(6);
  editor_->Draw();
  EXPECT_FALSE(editor_->NeedsRedraw());
  const CPanel& panel = editor_->GetPanel();
  EXPECT_EQ(panel.pixels()[0], 0x0001) << "the bottom row is background";
  // The first line's text is drawn into the panel, and the panel shown on the presented frame.
  int ink = 0;
  for (int x = 0; x < 140; ++x) {
    ink += panel.pixels()[(panel.height() - 8) * panel.rowLength() + x] != 0x0001 ? 1 : 0;
  }
  EXPECT_GT(ink, 0);
  EXPECT_EQ(platform::glide::ColorBuffer(GR_BUFFER_FRONTBUFFER)[479 * 640 + 639], 0x0001);
  const std::vector<ParamEditorText>& texts = editor_->GetTexts();
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "\aaESC aborts changes");
  EXPECT_EQ(texts[2].x, 300);
  // Rows 5 to 29 (row 34 would be the last, but the table ends at 29).
  EXPECT_EQ(texts[3].text, "\ad5) Unused");
  EXPECT_EQ(texts[3].y, 14);
  const auto find = [&](const std::string& text) {
    for (const ParamEditorText& t : texts) {
      if (t.text == text) {
        return t;
      }
    }
    ADD_FAILURE() << text;
    return ParamEditorText{};
  };
  EXPECT_EQ(find("\aa20) Long").y, 14 * 16);
  EXPECT_EQ(find("\ae         0").x, 120);      // the selected row's value
  EXPECT_EQ(find("\ab         6").y, 14 * 15);  // a modified row's value
  EXPECT_EQ(find("\ac10) Float").y, 14 * 6);
  EXPECT_EQ(find("\aa29) Long").y, 14 * 25);
}

TEST(ParamEditorCloseTest, ChangedGameRowsGoOneByOneAndArenaRowsTogetherThenTheEmptyMessage) {
  InitGameParams();
  InitArenaParams();
  CMailbox tank(0x50001);
  CMailbox network(kNetworkAddress);
  std::unique_ptr<CParamEditor> editor = CParamEditor::Create();
  ASSERT_NE(editor, nullptr);
  GameParamTable[7].SetEdited(1234);
  GameParamTable[300].SetEdited(99);
  editor->PostClosingMessages(tank);
  std::vector<std::vector<std::uint32_t>> received;
  std::vector<std::uint32_t> types;
  std::uint32_t length = 0;
  while (MailboxMessagePtr message = network.Receive(length)) {
    types.push_back(message->type);
    std::vector<std::uint32_t> words(length / 4);
    if (length != 0) {
      std::memcpy(words.data(), message->Payload(), length);
    }
    received.push_back(words);
  }
  EXPECT_EQ(types, (std::vector<std::uint32_t>{MSG_PARAM_SET, MSG_PARAM_SET, MSG_PARAM_EDITOR}));
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0], (std::vector<std::uint32_t>{7, 1234}));
  EXPECT_EQ(received[1], (std::vector<std::uint32_t>{300, 99}));
  EXPECT_TRUE(received[2].empty());
  EXPECT_EQ(GameParamTable[7].modified, 0u);
  EXPECT_EQ(GameParamTable[7].savedValue, 1234u);

  editor->SetTable(ArenaParamTable.data(), ArenaParamTable.size());
  ArenaParamTable[5].SetEdited(55);
  editor->PostClosingMessages(tank);
  MailboxMessagePtr rows = network.Receive(length);
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(rows->type, MSG_PARAM_SET);
  ASSERT_EQ(length, 396u);
  std::uint32_t fifth = 0;
  std::memcpy(&fifth, rows->Payload() + 4 * 4, 4);
  EXPECT_EQ(fifth, 55u);
  EXPECT_EQ(ArenaParamTable[5].modified, 1u);
  MailboxMessagePtr last = network.Receive(length);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->type, MSG_PARAM_EDITOR);
  InitGameParams();
  InitArenaParams();
}

TEST(ParamEditorCreateTest, AnEditorThatCannotBeMadeIsNull) {
  for (const long allowed : {0L, 1L}) {
    test_support::FailingMemory memory(allowed);
    platform::ScopedAllocationHook hook(memory);
    EXPECT_EQ(CParamEditor::Create(), nullptr) << allowed;
  }
}

}  // namespace
