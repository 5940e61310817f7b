// A screen sprite: a panel of its own (a blank one or an archive's bitmap, into which text and
// other sprites are drawn) placed at a point of the 640 x 480 screen.
#pragma once

#include <cstdint>

#include "battle/ui/panel.h"

struct R3xWad;

// Colour keys of a placed sprite: opaque, or pixels of value 0 see-through.
inline constexpr int kUiOpaque = -1;
inline constexpr int kUiKeyed = 0;

struct UiSprite {
  // A blank panel of {0, 0, width, height}.
  UiSprite(int width, int height);
  // A panel of the archive's named bitmap cut to {0, 0, width, height}.
  UiSprite(R3xWad* archive, const char* name, int width, int height);

  // The pixel at (x, y) from the top-left of a sprite whose panel was made; the caller keeps
  // inside width x height. The panel keeps its rows bottom-up.
  std::uint16_t& At(int x, int y) const {
    return panel.pixels()[(height - 1 - y) * panel.rowLength() + x];
  }

  int width;
  int height;
  // Where it lands is the panel's destination; not created when the bitmap could not be loaded.
  CPanel panel;
};

// Blank sprites (a blank panel's pixels), newest first in the toolkit's sprite list.
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
