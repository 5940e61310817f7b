// The server's full-screen editor of a game-parameter table: the table as a scrolling list on a
// 640 x 480 panel, the selected row edited with the keyboard. RETURN leaves with the changes
// kept (sent to the server on close), ESC with them undone.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "battle/core/game_params.h"
#include "battle/screens/design_screen.h"
#include "battle/ui/panel.h"

class CMailbox;

// The command with which the vehicle saves and closes the editor.
inline constexpr std::uint32_t kCloseParamEditorCommand = 0x105D;

// One text of the editor's picture, with its colour escape (BEL and the colour letter) in front.
struct ParamEditorText {
  int x;
  int y;
  std::string text;
};

class CParamEditor {
 public:
  // The editor on GameParamTable with row 1 selected; null when it or its panel cannot be made,
  // and then the vehicle does not enter editor mode (the original entered it without an editor).
  static std::unique_ptr<CParamEditor> Create();
  CParamEditor(const CParamEditor&) = delete;
  CParamEditor& operator=(const CParamEditor&) = delete;

  // Points the editor at the table to edit (GameParamTable or ArenaParamTable).
  void SetTable(CParam* table, std::uint32_t rowCount);
  // Handles one input event of the vehicle and rewrites it in place: it is consumed, or becomes
  // the close command for ESC and RETURN. `modifiers` are the keyboard's held modifier bits;
  // left Shift makes the steps fine.
  void OnKey(InputEventWords& event, std::uint8_t modifiers);
  // The frame's drawing: the list again when something changed.
  void Draw();
  // The list into the panel.
  void Render();
  // What goes to the server when the editor closes: the changed rows (the game table's one by
  // one and confirmed, the arena table's rows 1 to 99 in one message when any changed), then the
  // empty editor message.
  void PostClosingMessages(CMailbox& from);

  int GetSelectedRow() const { return selected_; }
  bool NeedsRedraw() const { return redraw_; }
  const CPanel& GetPanel() const { return *panel_; }
  const std::vector<ParamEditorText>& GetTexts() const { return texts_; }

 private:
  CParamEditor() = default;
  void Step(int direction, bool fine);
  void MoveUp();
  void MoveDown();

  CParam* table_ = GameParamTable.data();
  std::uint32_t rowCount_ = GAME_PARAM_COUNT;
  int selected_ = 1;
  bool redraw_ = true;
  std::unique_ptr<CPanel> panel_;
  std::vector<ParamEditorText> texts_;
};
