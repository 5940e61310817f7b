#include "battle/ui/ui_widget.h"

#include "battle/ui/text_list.h"
#include "battle/ui/ui_toolkit.h"

UiButton* CreateUiButton(int x, int y, int width, int height, UiSprite* normal, UiSprite* pressed,
                         UiSprite* hover) {
  auto* button = new UiButton{};
  button->kind = kUiButton;
  button->rect = RECT{x, y, x + width, y + height};
  button->images[kUiNormal] = normal;
  button->images[kUiPressed] = pressed;
  button->images[kUiHover] = hover;
  AddUiWidget(button);
  DrawUiWidget(button);
  return button;
}

void DestroyUiButton(UiButton* button) {
  RemoveUiWidget(button);
  delete button;
}

UiScrollBar* CreateUiScrollBar(int x, int y, int width, int height, UiSprite* background,
                               UiSprite* up, UiSprite* upAtFirst, UiSprite* down,
                               UiSprite* downAtLast, UiSprite* thumb) {
  auto* bar = new UiScrollBar{};
  bar->kind = kUiScrollBar;
  bar->sprite = CreateUiSprite(x, y, width, height);
  bar->rect = RECT{x, y, x + width, y + height};
  bar->background = background;
  if (background == nullptr) {
    bar->background = CreateUiSprite(x, y, width, height);
    bar->ownsBackground = true;
  }
  bar->up = up;
  bar->upAtFirst = upAtFirst;
  bar->down = down;
  bar->downAtLast = downAtLast;
  bar->thumb = thumb;
  bar->upRect = RECT{x, y, x + up->width, y + up->height};
  bar->downRect = RECT{x, bar->rect.bottom - down->height, x + down->width, bar->rect.bottom};
  bar->thumbX = x;
  bar->trackTop = bar->upRect.bottom;
  bar->trackRight = bar->rect.right;
  bar->trackBottom = bar->downRect.top;
  bar->thumbY = bar->trackTop;
  LayoutUiScrollBar(bar);
  AddUiWidget(bar);
  return bar;
}

void LayoutUiScrollBar(UiScrollBar* bar) {
  bar->thumbY = bar->trackTop;
  if (bar->count > 1) {
    bar->thumbY +=
        (bar->trackBottom - bar->thumb->height - bar->trackTop) * bar->position / (bar->count - 1);
  }
  UiSprite& window = *bar->sprite;
  const int left = bar->rect.left;
  const int top = bar->rect.top;
  BlitUiSpriteKeyed(*bar->background, window, 0, 0);
  UiSprite* up = bar->position == 0 && bar->upAtFirst != nullptr ? bar->upAtFirst : bar->up;
  BlitUiSpriteKeyed(*up, window, bar->upRect.left - left, bar->upRect.top - top);
  UiSprite* down =
      bar->position >= bar->count - 1 && bar->downAtLast != nullptr ? bar->downAtLast : bar->down;
  BlitUiSpriteKeyed(*down, window, bar->downRect.left - left, bar->downRect.top - top);
  BlitUiSpriteKeyed(*bar->thumb, window, bar->thumbX - left, bar->thumbY - top);
  window.panel.SetDirty();
}

void DestroyUiScrollBar(UiScrollBar* bar) {
  RemoveUiWidget(bar);
  DestroyUiSprite(bar->sprite);
  if (bar->ownsBackground) {
    DestroyUiSprite(bar->background);
  }
  delete bar;
}

void DrawUiWidget(UiWidget* widget) {
  switch (widget->kind) {
    case kUiButton: {
      auto* button = static_cast<UiButton*>(widget);
      if (UiSprite* image = button->images[button->state]; image != nullptr) {
        button->sprite = image;
        image->panel.SetDirty();
      }
      return;
    }
    case kUiTextList:
      static_cast<CTextList*>(widget)->Draw();
      return;
    case kUiScrollBar:
      LayoutUiScrollBar(static_cast<UiScrollBar*>(widget));
      return;
    default:
      return;
  }
}
