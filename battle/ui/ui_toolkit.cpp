#include "battle/ui/ui_toolkit.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

#include "battle/ui/text_list.h"

namespace {

constexpr int kListFontHeight = 14;
constexpr int kSmallFontHeight = 12;
constexpr COLORREF kTextBackground = 0x101010;

struct UiState {
  std::vector<UiWidget*> widgets;
  std::deque<UiEvent> events;
  int mouseX = 0;
  int mouseY = 0;
  UiButton* hover = nullptr;
  UiButton* pressed = nullptr;
  UiScrollBar* repeating = nullptr;
  DWORD nextRepeat = 0;
  DWORD acceleration = 0;
  UiSprite* textSprite = nullptr;
  HFONT listFont = nullptr;
  HFONT smallFont = nullptr;
  UiSprite* cursor = nullptr;
  bool quitRequested = false;
};

UiState gUi;

void Queue(std::uint32_t kind, UiWidget* widget) {
  gUi.events.push_back(UiEvent{kind, widget, 0, gUi.mouseX, gUi.mouseY});
}

void QueueKey(std::uint32_t key) { gUi.events.push_back(UiEvent{kUiKey, nullptr, key, 0, 0}); }

void Redraw(UiWidget* widget) { DrawUiWidget(widget); }

// The named keys' codes in key events; 0 for every other key.
std::uint32_t NamedKeyCode(WPARAM key) {
  switch (key) {
    case VK_END:
      return kUiKeyEnd;
    case VK_HOME:
      return kUiKeyHome;
    case VK_LEFT:
      return kUiKeyLeft;
    case VK_RIGHT:
      return kUiKeyRight;
    case VK_UP:
      return kUiKeyUp;
    case VK_DOWN:
      return kUiKeyDown;
    case VK_DELETE:
      return kUiKeyDelete;
    default:
      return 0;
  }
}

void StartRepeat(UiScrollBar* bar) {
  const DWORD now = timeGetTime();
  gUi.repeating = bar;
  gUi.nextRepeat = now + kUiFirstRepeatMs;
  gUi.acceleration = now + kUiAccelerationMs;
}

// One position towards the arrow under the mouse; false when no arrow is under it or the end is
// reached.
bool StepScrollBar(UiScrollBar* bar) {
  if (ContainsPoint(bar->downRect, gUi.mouseX, gUi.mouseY) && bar->position < bar->count - 1) {
    ++bar->position;
  } else if (ContainsPoint(bar->upRect, gUi.mouseX, gUi.mouseY) && bar->position > 0) {
    --bar->position;
  } else {
    return false;
  }
  LayoutUiScrollBar(bar);
  Queue(kUiActivated, bar);
  return true;
}

// The row of a list under the mouse, or -1 outside its window and its rows.
int ListRowAt(CTextList* list, int y) {
  const int row = (y - list->rect.top) / kUiRowHeight;
  if (row >= list->VisibleRowCount() || list->FirstVisibleRow() + row >= list->RowCount()) {
    return -1;
  }
  return list->FirstVisibleRow() + row;
}

void ClickList(CTextList* list) {
  const int row = ListRowAt(list, gUi.mouseY);
  if (row < 0) {
    return;
  }
  const UiListCallback callback = list->GetCallback();
  if (row == list->SelectedRow()) {
    if (callback == nullptr || callback(kUiClickedAgain, list, gUi.mouseX, gUi.mouseY) != 0) {
      Queue(kUiClickedAgain, list);
    }
    return;
  }
  if (callback == nullptr || callback(kUiActivated, list, gUi.mouseX, gUi.mouseY) != 0) {
    list->SelectRow(row);
    list->Draw();
    Queue(kUiActivated, list);
  }
}

void MouseMove() {
  for (UiWidget* widget : gUi.widgets) {
    if (widget == gUi.hover || widget->kind != kUiButton) {
      continue;
    }
    auto* button = static_cast<UiButton*>(widget);
    if (ContainsPoint(button->rect, gUi.mouseX, gUi.mouseY) && button->state == kUiNormal &&
        button->images[kUiHover] != nullptr && gUi.pressed == nullptr) {
      if (gUi.hover != nullptr) {
        gUi.hover->state = kUiNormal;
        Redraw(gUi.hover);
      }
      button->state = kUiHover;
      Redraw(button);
      gUi.hover = button;
    }
  }
  if (gUi.hover != nullptr && !ContainsPoint(gUi.hover->rect, gUi.mouseX, gUi.mouseY)) {
    gUi.hover->state = kUiNormal;
    Redraw(gUi.hover);
    gUi.hover = nullptr;
  }
}

void LeftButtonDown() {
  // A copy: a widget's handling never adds or removes widgets, but the walk stays safe if it did.
  const std::vector<UiWidget*> widgets = gUi.widgets;
  for (UiWidget* widget : widgets) {
    if (!ContainsPoint(widget->rect, gUi.mouseX, gUi.mouseY)) {
      continue;
    }
    switch (widget->kind) {
      case kUiButton: {
        auto* button = static_cast<UiButton*>(widget);
        button->state = kUiPressed;
        Redraw(button);
        gUi.pressed = button;
        if (gUi.hover == button) {
          gUi.hover = nullptr;
        }
        Queue(kUiActivated, button);
        break;
      }
      case kUiTextList:
        ClickList(static_cast<CTextList*>(widget));
        break;
      case kUiScrollBar: {
        auto* bar = static_cast<UiScrollBar*>(widget);
        if (StepScrollBar(bar)) {
          StartRepeat(bar);
        }
        break;
      }
      default:
        break;
    }
  }
}

void LeftButtonUp() {
  gUi.repeating = nullptr;
  UiButton* button = gUi.pressed;
  if (button == nullptr) {
    return;
  }
  if (button->images[kUiHover] != nullptr && ContainsPoint(button->rect, gUi.mouseX, gUi.mouseY)) {
    if (gUi.hover != nullptr && gUi.hover != button) {
      gUi.hover->state = kUiNormal;
      Redraw(gUi.hover);
    }
    gUi.hover = button;
    button->state = kUiHover;
  } else {
    button->state = kUiNormal;
  }
  Redraw(button);
  gUi.pressed = nullptr;
  Queue(kUiReleased, button);
}

void RightButtonDown() {
  for (UiWidget* widget : gUi.widgets) {
    if (widget->kind != kUiTextList || !ContainsPoint(widget->rect, gUi.mouseX, gUi.mouseY)) {
      continue;
    }
    auto* list = static_cast<CTextList*>(widget);
    if (ListRowAt(list, gUi.mouseY) < 0) {
      continue;
    }
    const UiListCallback callback = list->GetCallback();
    if (callback == nullptr || callback(kUiRightClicked, list, gUi.mouseX, gUi.mouseY) != 0) {
      Queue(kUiRightClicked, list);
    }
  }
}

void DrawText(HFONT font, int x, int y, int width, int height, COLORREF colour, const char* text,
              int alignment) {
  static constexpr UINT kAlignments[] = {TA_LEFT, TA_CENTER, TA_RIGHT};
  if (alignment < 0 || alignment > 2 || gUi.textSprite == nullptr || text == nullptr) {
    return;
  }
  const HDC dc = gUi.textSprite->panel.dc();
  SetTextColor(dc, colour);
  SetBkColor(dc, kTextBackground);
  const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
  const RECT box{x, y, x + width, y + height};
  SetTextAlign(dc, kAlignments[alignment] | TA_TOP);
  const int anchor = alignment == 0 ? x : alignment == 1 ? x + width / 2 : x + width;
  ExtTextOutA(dc, anchor, y, ETO_CLIPPED | ETO_OPAQUE, &box, text,
              static_cast<UINT>(std::strlen(text)), nullptr);
  if (previous != nullptr) {
    SelectObject(dc, previous);
  }
  gUi.textSprite->panel.SetDirty();
}

}  // namespace

void InitUi(UiSprite* textSprite) {
  gUi.textSprite = textSprite;
  gUi.quitRequested = false;
  // The original asks DirectDraw for its GDI surface's DC only to hold it while the fonts are
  // made; our fonts need no DC.
  gUi.listFont = CreateFontA(kListFontHeight, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  gUi.smallFont = CreateFontA(kSmallFontHeight, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  // The world start has closed the world pack by then: the bitmap is found by its name.
  gUi.cursor = CreateUiKeyedSprite(nullptr, "cursor.bmp", 0, 0, kUiCursorWidth, kUiCursorHeight);
}

void ShutdownUi() {
  DestroyUiSprite(gUi.cursor);
  gUi.cursor = nullptr;
  DeleteObject(gUi.listFont);
  DeleteObject(gUi.smallFont);
  gUi.listFont = nullptr;
  gUi.smallFont = nullptr;
  gUi.textSprite = nullptr;
  // The original kept the references and the queue across a close: an arrow held while the
  // screen closed went on stepping a freed bar at the next opening.
  gUi.hover = nullptr;
  gUi.pressed = nullptr;
  gUi.repeating = nullptr;
  gUi.events.clear();
}

std::optional<UiEvent> PumpUiEvents() {
  RepeatUiArrows();
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
      // The original took the quit message off the queue and dropped it, so closing the window
      // during the screen did not end the game: put it back for the game's own loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      gUi.quitRequested = true;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (gUi.events.empty()) {
    return std::nullopt;
  }
  const UiEvent event = gUi.events.front();
  gUi.events.pop_front();
  return event;
}

bool IsUiQuitRequested() { return gUi.quitRequested; }

LRESULT HandleUiWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool mouse = message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN ||
                     message == WM_LBUTTONUP || message == WM_RBUTTONDOWN;
  if (mouse) {
    POINT point{static_cast<LONG>(lParam & 0xFFFF), static_cast<LONG>((lParam >> 16) & 0xFFFF)};
    ClientToScreen(window, &point);
    gUi.mouseX = point.x;
    gUi.mouseY = point.y;
  }
  switch (message) {
    case WM_MOUSEMOVE:
      MouseMove();
      return 0;
    case WM_LBUTTONDOWN:
      LeftButtonDown();
      return 0;
    case WM_LBUTTONUP:
      LeftButtonUp();
      return 0;
    case WM_RBUTTONDOWN:
      RightButtonDown();
      return 0;
    case WM_KEYDOWN:
      // The original queued an undefined code for every other key; their characters come
      // through WM_CHAR anyway.
      if (const std::uint32_t code = NamedKeyCode(wParam); code != 0) {
        QueueKey(code);
      }
      return 0;
    case WM_CHAR:
      QueueKey(static_cast<std::uint32_t>(wParam & 0xFF));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SYSCOMMAND:
      if (wParam == SC_SCREENSAVE) {
        return 0;
      }
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void RepeatUiArrows() {
  const DWORD now = timeGetTime();
  if (gUi.repeating == nullptr || static_cast<std::int32_t>(now - gUi.nextRepeat) <= 0) {
    return;
  }
  const bool fast = static_cast<std::int32_t>(now - gUi.acceleration) > 0;
  gUi.nextRepeat = now + (fast ? kUiFastRepeatMs : kUiSlowRepeatMs);
  if (!StepScrollBar(gUi.repeating)) {
    gUi.repeating = nullptr;
  }
}

void MoveUiCursor() {
  POINT point{};
  GetCursorPos(&point);
  gUi.mouseX = point.x;
  gUi.mouseY = point.y;
  if (gUi.cursor == nullptr) {
    return;
  }
  UiSprite& cursor = *gUi.cursor;
  cursor.panel.SetDestination(
      RECT{point.x, point.y, point.x + cursor.width, point.y + cursor.height});
  // Forced, over everything the screen drew this frame.
  cursor.panel.Draw(1);
}

UiSprite* GetUiCursor() { return gUi.cursor; }

void DrawUiText(int x, int y, int width, int height, COLORREF colour, const char* text,
                int alignment) {
  DrawText(gUi.listFont, x, y, width, height, colour, text, alignment);
}

void DrawUiSmallText(int x, int y, int width, int height, COLORREF colour, const char* text,
                     int alignment) {
  DrawText(gUi.smallFont, x, y, width, height, colour, text, alignment);
}

HFONT GetUiListFont() { return gUi.listFont; }

void AddUiWidget(UiWidget* widget) { gUi.widgets.push_back(widget); }

void RemoveUiWidget(UiWidget* widget) {
  std::erase(gUi.widgets, widget);
  ForgetUiWidget(widget);
}

void ForgetUiWidget(UiWidget* widget) {
  if (gUi.hover == widget) {
    gUi.hover = nullptr;
  }
  if (gUi.pressed == widget) {
    gUi.pressed = nullptr;
  }
  if (gUi.repeating == widget) {
    gUi.repeating = nullptr;
  }
  // Unread events must not hand the screen a widget that is gone.
  std::erase_if(gUi.events, [widget](const UiEvent& event) { return event.widget == widget; });
}

void RedrawUiWidgets() {
  for (UiWidget* widget : gUi.widgets) {
    DrawUiWidget(widget);
  }
}

void DrawUiWidgetSprites() {
  for (UiWidget* widget : gUi.widgets) {
    if (widget->sprite != nullptr) {
      widget->sprite->panel.Draw(1);
    }
  }
}

int CountUiWidgets() { return static_cast<int>(gUi.widgets.size()); }

int CountUiEvents() { return static_cast<int>(gUi.events.size()); }
