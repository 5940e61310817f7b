// A screen sprite: a picture of its own (a 16-bit top-down DIB section with a memory DC, into
// which text and other sprites are drawn) placed at a point of the 640 x 480 screen.
#pragma once

#include <cstdint>

#include "platform/gdi.h"

struct R3xWad;

// Colour keys of a placed sprite: opaque, or pixels of value 0 see-through.
inline constexpr int kUiOpaque = -1;
inline constexpr int kUiKeyed = 0;

struct UiSprite {
  UiSprite(int width, int height);
  ~UiSprite();
  UiSprite(const UiSprite&) = delete;
  UiSprite& operator=(const UiSprite&) = delete;

  // The pixel at (x, y) of the picture; the caller keeps inside width x height.
  std::uint16_t& At(int x, int y) { return pixels[y * pitch + x]; }

  int width;
  int height;
  // The destination: the screen point of the picture's top-left corner.
  int x = 0;
  int y = 0;
  int colourKey = kUiOpaque;
  // Set whenever the picture changed, so the next frame puts it on screen again.
  bool redraw = false;
  HDC dc = nullptr;
  // Null when the picture could not be made: then nothing is drawn into it.
  std::uint16_t* pixels = nullptr;
  // Pixels a row.
  int pitch = 0;

 private:
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ saved_ = nullptr;
};

// Blank sprites (all pixels 0), newest first in the toolkit's sprite list.
UiSprite* CreateUiSprite(int x, int y, int width, int height);
// A sprite of the named bitmap of an archive (null: found by its name), placed opaque or with its
// value 0 see-through.
UiSprite* CreateUiBitmapSprite(R3xWad* archive, const char* name, int x, int y, int width,
                               int height);
UiSprite* CreateUiKeyedSprite(R3xWad* archive, const char* name, int x, int y, int width,
                              int height);
void DestroyUiSprite(UiSprite* sprite);
// The sprites alive, newest first.
int CountUiSprites();
// Copies a picture into another at (x, y), leaving out its pixels of value 0 and what falls
// outside the target.
void BlitUiSpriteKeyed(const UiSprite& source, UiSprite& target, int x, int y);
