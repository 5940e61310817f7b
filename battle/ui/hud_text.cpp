#include "battle/ui/hud_text.h"

#include <cstring>

#include "battle/ui/hud_colours.h"

namespace {

struct HudTextState {
  HFONT font = nullptr;
  LOGFONTA description{};
  COLORREF textColour = kHudDefaultColour;
  COLORREF backgroundColour = kHudBackground;
  int backgroundMode = TRANSPARENT;
  UINT textAlign = TA_LEFT | TA_TOP;
};

HudTextState& State() {
  static HudTextState state;
  return state;
}

void SelectHudFont(HDC dc) {
  if (State().font != nullptr) {
    SelectObject(dc, State().font);
  }
}

}  // namespace

void CreateHudFont(int size) {
  DeleteHudFont();
  HudTextState& state = State();
  state.description = {};
  state.description.lfHeight = size == 14 ? 14 : 10;
  state.description.lfWeight = 100;
  state.description.lfOutPrecision = 6;
  state.description.lfPitchAndFamily = 0x21;
  std::strcpy(state.description.lfFaceName, size == 14 ? "Arial" : "Smallf");
  state.font = CreateFontIndirectA(&state.description);
  state.textColour = kHudDefaultColour;
  state.backgroundColour = kHudBackground;
  state.backgroundMode = TRANSPARENT;
}

void DeleteHudFont() {
  if (State().font != nullptr) {
    DeleteObject(State().font);
    State().font = nullptr;
  }
}

int HudLineStep() { return State().description.lfHeight - 2; }

int MeasureHudText(HDC dc, const char* text) {
  SelectHudFont(dc);
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  return size.cx;
}

int MeasureHudTextFit(HDC dc, int width, const char* text) {
  const int length = static_cast<int>(std::strlen(text));
  if (MeasureHudText(dc, text) < width) {
    return length;
  }
  if (width < 1) {
    return -1;
  }
  int sum = 0;
  int count = 0;
  while (count < length && sum < width) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text + count, 1, &size);
    sum += size.cx;
    ++count;
  }
  return count - 1;
}

int DrawHudText(HDC dc, const char* text, int x, int y) {
  if (dc == nullptr) {
    return 0;
  }
  const HudTextState& state = State();
  SelectHudFont(dc);
  SetTextAlign(dc, state.textAlign);
  SetBkMode(dc, state.backgroundMode);
  SetTextColor(dc, state.textColour);
  SetBkColor(dc, state.backgroundColour);
  const char* line = text;
  for (;;) {
    const std::size_t length = std::strcspn(line, "\n");
    if (length == 0) {
      break;
    }
    const char* end = line + length;
    const char* shown = line;
    // A BEL as the line's last byte has no letter: the codes end there, never past the line.
    while (shown < end && *shown == '\a') {
      if (shown + 1 == end) {
        shown = end;
        break;
      }
      const char letter = shown[1];
      if (letter >= kHudCodeFirst &&
          letter < kHudCodeFirst + static_cast<int>(kHudColours.size())) {
        SetTextColor(dc, kHudColours[static_cast<std::size_t>(letter - kHudCodeFirst)]);
      }
      shown += 2;
    }
    TextOutA(dc, x, y, shown, static_cast<int>(end - shown));
    if (*end == '\0') {
      break;
    }
    y += HudLineStep();
    line = end + 1;
  }
  return 1;
}
