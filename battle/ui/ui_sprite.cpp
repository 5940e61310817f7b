#include "battle/ui/ui_sprite.h"

#include <list>
#include <memory>

#include "battle/arena/arena_view.h"
#include "engine/r3x_display.h"

namespace {

// Newest at the front.
std::list<std::unique_ptr<UiSprite>>& Sprites() {
  static std::list<std::unique_ptr<UiSprite>> sprites;
  return sprites;
}

UiSprite* AddSprite(std::unique_ptr<UiSprite> sprite, int x, int y, int colourKey) {
  sprite->panel.Place(x, y, colourKey);
  Sprites().push_front(std::move(sprite));
  return Sprites().front().get();
}

}  // namespace

UiSprite::UiSprite(int width, int height)
    : width(width), height(height), panel(0, 0, width, height) {}

UiSprite::UiSprite(R3xWad* archive, const char* name, int width, int height)
    : width(width), height(height), panel(archive, 0, 0, width, height, name) {}

UiSprite* CreateUiSprite(int x, int y, int width, int height) {
  return AddSprite(std::make_unique<UiSprite>(width, height), x, y, kUiOpaque);
}

UiSprite* CreateUiBitmapSprite(R3xWad* archive, const char* name, int x, int y, int width,
                               int height) {
  return AddSprite(std::make_unique<UiSprite>(archive, name, width, height), x, y, kUiOpaque);
}

UiSprite* CreateUiKeyedSprite(R3xWad* archive, const char* name, int x, int y, int width,
                              int height) {
  return AddSprite(std::make_unique<UiSprite>(archive, name, width, height), x, y, kUiKeyed);
}

void DestroyUiSprite(UiSprite* sprite) {
  Sprites().remove_if(
      [sprite](const std::unique_ptr<UiSprite>& held) { return held.get() == sprite; });
}

int CountUiSprites() { return static_cast<int>(Sprites().size()); }

void BlitUiSpriteKeyed(const UiSprite& source, UiSprite& target, int x, int y) {
  if (source.panel.image() == nullptr || target.panel.image() == nullptr) {
    return;
  }
  const RECT from{0, 0, source.width, source.height};
  const RECT to{x, y, x + source.width, y + source.height};
  r3xBlit16Transparent(gGlideContext, source.panel.image(), target.panel.image(), &from, &to);
}
