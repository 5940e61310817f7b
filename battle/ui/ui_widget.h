// The toolkit's widgets: tagged records that begin alike (a kind, the sprite shown, the screen
// rectangle), looked at by kind and never through virtual operations.
#pragma once

#include <cstdint>

#include "battle/ui/ui_sprite.h"
#include "platform/window/rect.h"

enum UiWidgetKind : std::uint32_t {
  kUiButton = 0,
  kUiTextList = 2,
  kUiScrollBar = 3,
};

struct UiWidget {
  std::uint32_t kind;
  // A button's image of its current state; the other kinds' window sprite.
  UiSprite* sprite = nullptr;
  RECT rect{};
};

// Whether the screen point lies in the rectangle (right and bottom outside).
inline bool ContainsPoint(const RECT& rect, int x, int y) {
  return rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom;
}

enum UiButtonState : int {
  kUiNormal = 0,
  kUiPressed = 1,
  kUiHover = 2,
};

// The images are the caller's; a button without a hover image never takes the hover state.
struct UiButton : UiWidget {
  int state = kUiNormal;
  UiSprite* images[3] = {};
};

struct UiScrollBar : UiWidget {
  UiSprite* background = nullptr;
  // The background was made by the bar and goes with it.
  bool ownsBackground = false;
  UiSprite* up = nullptr;
  UiSprite* upAtFirst = nullptr;
  UiSprite* down = nullptr;
  UiSprite* downAtLast = nullptr;
  UiSprite* thumb = nullptr;
  RECT upRect{};
  RECT downRect{};
  int thumbX = 0;
  int trackTop = 0;
  int trackRight = 0;
  int trackBottom = 0;
  // Positions 0 to count - 1.
  int count = 0;
  int position = 0;
  int thumbY = 0;
};

UiButton* CreateUiButton(int x, int y, int width, int height, UiSprite* normal, UiSprite* pressed,
                         UiSprite* hover);
void DestroyUiButton(UiButton* button);
// Each image may be null but the up, down and thumb ones; a null background is made blank.
UiScrollBar* CreateUiScrollBar(int x, int y, int width, int height, UiSprite* background,
                               UiSprite* up, UiSprite* upAtFirst, UiSprite* down,
                               UiSprite* downAtLast, UiSprite* thumb);
// Places the thumb for the position and draws the bar's parts into its window sprite.
void LayoutUiScrollBar(UiScrollBar* bar);
void DestroyUiScrollBar(UiScrollBar* bar);
// Redraws a widget by its kind.
void DrawUiWidget(UiWidget* widget);
