#include "battle/screens/param_editor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <new>

#include "battle/arena/arena_view.h"
#include "battle/ui/hud_text.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "engine/r3x_display.h"
#include "host/interface/host_record.h"
#include "platform/kernel/allocation_hook.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint16_t kBackground = 0x0001;
// The panel is on no colour key.
constexpr int kOpaque = -1;
constexpr int kLineHeight = 14;
// Rows shown above and below the selection.
constexpr int kRowsAbove = 15;
constexpr int kRowsBelow = 14;
constexpr int kPageRows = 10;
constexpr int kLimit = 30000;
// The arena table's rows sent on close: 1 to 99.
constexpr std::uint32_t kArenaRowsSent = 99;
constexpr std::uint32_t kArenaRowsChecked = 103;

enum ScanCode : std::uint32_t {
  kEscape = 0x01,
  kReturn = 0x1C,
  kSpace = 0x39,
  kUp = 0xC8,
  kPageUp = 0xC9,
  kLeft = 0xCB,
  kRight = 0xCD,
  kDown = 0xD0,
  kPageDown = 0xD1,
  kDelete = 0xD3,
};

std::string Coloured(char colour, const std::string& text) {
  return std::string{'\a', colour} + text;
}

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

int IntegerStep(std::int64_t magnitude) {
  if (magnitude < 20) return 1;
  if (magnitude < 100) return 5;
  if (magnitude < 1000) return 50;
  if (magnitude < 10000) return 500;
  return 1000;
}

float FloatStep(float magnitude) {
  if (magnitude < 1.0f) return 0.05f;
  if (magnitude < 10.0f) return 0.5f;
  if (magnitude < 100.0f) return 5.0f;
  if (magnitude < 1000.0f) return 50.0f;
  if (magnitude < 10000.0f) return 500.0f;
  return 1000.0f;
}

}  // namespace

std::unique_ptr<CParamEditor> CParamEditor::Create() {
  if (!platform::AllocationAllowed(sizeof(CParamEditor))) {
    return nullptr;
  }
  std::unique_ptr<CParamEditor> editor(new (std::nothrow) CParamEditor());
  if (editor == nullptr) {
    return nullptr;
  }
  if (!platform::AllocationAllowed(std::size_t{kWidth} * kHeight * 2)) {
    return nullptr;
  }
  editor->panel_ = std::make_unique<CPanel>(0, 0, kWidth, kHeight);
  if (editor->panel_->Place(0, 0, kOpaque) == 0) {
    return nullptr;
  }
  return editor;
}

void CParamEditor::SetTable(CParam* table, std::uint32_t rowCount) {
  table_ = table;
  rowCount_ = rowCount;
  redraw_ = true;
}

void CParamEditor::OnKey(InputEventWords& event, std::uint8_t modifiers) {
  const bool pressed = event[0] == kInputKeyPress;
  const std::uint32_t key = event[1];
  event[0] = 0;
  if (!pressed) {
    return;
  }
  CParam& row = table_[selected_];
  switch (key) {
    case kEscape:
      for (std::uint32_t index = 0; index < rowCount_; ++index) {
        if (table_[index].modified != 0) {
          table_[index].Restore();
        }
      }
      event = InputEventWords{kInputCommand, kCloseParamEditorCommand};
      redraw_ = true;
      return;
    case kReturn: {
      bool changed = false;
      for (std::uint32_t index = 0; index < rowCount_; ++index) {
        changed = changed || table_[index].modified != 0;
      }
      if (changed) {
        table_[0].SetEdited(table_[0].value + 1);
      }
      event = InputEventWords{kInputCommand, kCloseParamEditorCommand};
      redraw_ = true;
      return;
    }
    case kSpace:
      if (row.type != PARAM_TYPE_UNUSED) {
        row.SetEdited(0);
        redraw_ = true;
      }
      return;
    case kPageUp:
      if (selected_ > kPageRows) {
        selected_ -= kPageRows;
      }
      MoveUp();
      return;
    case kUp:
      MoveUp();
      return;
    case kPageDown:
      if (selected_ < static_cast<int>(rowCount_) - 11) {
        selected_ += kPageRows;
      }
      MoveDown();
      return;
    case kDown:
      MoveDown();
      return;
    case kLeft:
    case kRight:
      Step(key == kLeft ? -1 : 1, (modifiers & kModifierLeftShift) != 0);
      return;
    case kDelete:
      if (row.modified != 0) {
        row.Restore();
      }
      redraw_ = true;
      return;
    default:
      return;
  }
}

void CParamEditor::MoveUp() {
  redraw_ = true;
  while (selected_ > 1) {
    --selected_;
    if (table_[selected_].type != PARAM_TYPE_UNUSED) {
      return;
    }
  }
}

void CParamEditor::MoveDown() {
  redraw_ = true;
  while (selected_ < static_cast<int>(rowCount_) - 1) {
    ++selected_;
    if (table_[selected_].type != PARAM_TYPE_UNUSED) {
      return;
    }
  }
}

void CParamEditor::Step(int direction, bool fine) {
  CParam& row = table_[selected_];
  if (row.type == PARAM_TYPE_INTEGER) {
    const std::int32_t value = row.GetInt();
    if ((direction < 0 && value < -kLimit) || (direction > 0 && value > kLimit)) {
      return;
    }
    const int step = fine ? 1 : IntegerStep(std::abs(static_cast<std::int64_t>(value)));
    row.SetEdited(static_cast<std::uint32_t>(value + direction * step));
  } else if (row.type == PARAM_TYPE_FLOAT) {
    const float value = row.GetFloat();
    if ((direction < 0 && value < -kLimit) || (direction > 0 && value > kLimit)) {
      return;
    }
    const float step = fine ? 0.1f : FloatStep(std::fabs(value));
    row.SetEdited(std::bit_cast<std::uint32_t>(value + static_cast<float>(direction) * step));
  }
  redraw_ = true;
}

void CParamEditor::Draw() {
  if (redraw_) {
    Render();
    redraw_ = false;
  }
  panel_->Draw(0);
  r3xGlidePresent(gGlideContext, 1);
}

void CParamEditor::Render() {
  std::fill_n(panel_->pixels(), static_cast<std::size_t>(panel_->rowLength()) * panel_->height(),
              kBackground);
  texts_.clear();
  texts_.push_back({0, 0, Coloured('a', "ESC aborts changes")});
  texts_.push_back({150, 0, Coloured('b', "RETURN saves changes")});
  texts_.push_back({300, 0, Coloured('d', "!=immediate, #=next config")});
  int y = kLineHeight;
  for (int index = selected_ - kRowsAbove; index <= selected_ + kRowsBelow;
       ++index, y += kLineHeight) {
    if (index < 0) {
      continue;
    }
    if (index >= static_cast<int>(rowCount_)) {
      break;
    }
    const CParam& row = table_[index];
    const bool selected = index == selected_;
    const char valueColour = selected ? 'e' : row.modified != 0 ? 'b' : 'd';
    const char nameColour = selected ? 'b' : 'd';
    if (row.type == PARAM_TYPE_INTEGER) {
      texts_.push_back({0, y, Coloured('a', Format("%d) Long", index))});
      texts_.push_back({120, y, Coloured(valueColour, Format("%10d", row.GetInt()))});
      texts_.push_back({300, y, Coloured(nameColour, row.name != nullptr ? row.name : "")});
    } else if (row.type == PARAM_TYPE_FLOAT) {
      texts_.push_back({0, y, Coloured('c', Format("%d) Float", index))});
      texts_.push_back(
          {120, y, Coloured(valueColour, Format("%10.4f", static_cast<double>(row.GetFloat())))});
      texts_.push_back({300, y, Coloured(nameColour, row.name != nullptr ? row.name : "")});
    } else {
      texts_.push_back({0, y, Coloured('d', Format("%d) Unused", index))});
    }
  }
  for (const ParamEditorText& text : texts_) {
    DrawHudText(panel_->dc(), text.text.c_str(), text.x, text.y);
  }
  panel_->SetDirty();
}

void CParamEditor::PostClosingMessages(CMailbox& from) {
  if (table_ == GameParamTable.data()) {
    for (std::uint32_t index = 0; index < rowCount_; ++index) {
      CParam& row = table_[index];
      if (row.modified != 0) {
        const std::uint32_t payload[2] = {index, row.value};
        from.Post(kNetworkAddress, MSG_PARAM_SET, sizeof payload, payload);
        row.SetConfirmed(row.value);
      }
    }
  } else {
    bool changed = false;
    for (std::uint32_t index = 1; index <= kArenaRowsChecked && index < rowCount_; ++index) {
      changed = changed || table_[index].modified != 0;
    }
    if (changed) {
      std::uint32_t payload[kArenaRowsSent];
      for (std::uint32_t index = 1; index <= kArenaRowsSent; ++index) {
        payload[index - 1] = index < rowCount_ ? table_[index].value : 0;
      }
      from.Post(kNetworkAddress, MSG_PARAM_SET, sizeof payload, payload);
    }
  }
  from.Post(kNetworkAddress, MSG_PARAM_EDITOR, 0, nullptr);
}
