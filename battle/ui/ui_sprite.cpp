#include "battle/ui/ui_sprite.h"

#include <algorithm>
#include <list>
#include <memory>

namespace {

// Newest at the front.
std::list<std::unique_ptr<UiSprite>>& Sprites() {
  static std::list<std::unique_ptr<UiSprite>> sprites;
  return sprites;
}

UiSprite* AddSprite(int x, int y, int width, int height, int colourKey) {
  auto sprite = std::make_unique<UiSprite>(width, height);
  sprite->x = x;
  sprite->y = y;
  sprite->colourKey = colourKey;
  Sprites().push_front(std::move(sprite));
  return Sprites().front().get();
}

}  // namespace

UiSprite::UiSprite(int width, int height) : width(width), height(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr) {
    return;
  }
  dc = CreateCompatibleDC(nullptr);
  saved_ = SelectObject(dc, bitmap_);
  pixels = static_cast<std::uint16_t*>(bits);
  // DIB rows are padded to 4 bytes.
  pitch = (width * 2 + 3) / 4 * 2;
}

UiSprite::~UiSprite() {
  if (bitmap_ == nullptr) {
    return;
  }
  SelectObject(dc, saved_);
  DeleteDC(dc);
  DeleteObject(bitmap_);
}

UiSprite* CreateUiSprite(int x, int y, int width, int height) {
  return AddSprite(x, y, width, height, kUiOpaque);
}

UiSprite* CreateUiBitmapSprite(R3xWad* /*archive*/, const char* /*name*/, int x, int y, int width,
                               int height) {
  // With the cockpit: CPanel (archive, name, {0, 0, width, height}) loads the named bitmap as
  // this sprite's picture; until then the sprite keeps a picture without image, as a panel whose
  // bitmap cannot be loaded does.
  return AddSprite(x, y, width, height, kUiOpaque);
}

UiSprite* CreateUiKeyedSprite(R3xWad* archive, const char* name, int x, int y, int width,
                              int height) {
  UiSprite* sprite = CreateUiBitmapSprite(archive, name, x, y, width, height);
  sprite->colourKey = kUiKeyed;
  return sprite;
}

void DestroyUiSprite(UiSprite* sprite) {
  Sprites().remove_if(
      [sprite](const std::unique_ptr<UiSprite>& held) { return held.get() == sprite; });
}

int CountUiSprites() { return static_cast<int>(Sprites().size()); }

void BlitUiSpriteKeyed(const UiSprite& source, UiSprite& target, int x, int y) {
  if (source.pixels == nullptr || target.pixels == nullptr) {
    return;
  }
  const int top = std::max(0, -y);
  const int bottom = std::min(source.height, target.height - y);
  const int left = std::max(0, -x);
  const int right = std::min(source.width, target.width - x);
  for (int row = top; row < bottom; ++row) {
    for (int column = left; column < right; ++column) {
      const std::uint16_t pixel = source.pixels[row * source.pitch + column];
      if (pixel != 0) {
        target.At(x + column, y + row) = pixel;
      }
    }
  }
}
