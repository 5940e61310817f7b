// The demo's pictures outside the arena's pack: the seven sky bitmaps and the sprite pictures of
// "Equip.r3x" and the loading picture "load.bmp", drawn over the demo palette's colours (so that
// the loading palette made from "load.bmp" matches the arena's).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/mkdata/bmp_writer.h"

namespace mkdata {

// "sky.bmp" (a sky gradient), "cloud.bmp" (grey clouds), "ground.bmp" (earth), "sun.bmp",
// "moon.bmp", "lf_ring.bmp" and "lf_disk.bmp" (discs and a ring on black), each with its file
// name; every side a power of two.
std::vector<std::pair<std::string, BmpImage>> MakeSkyImages();
// The arena objects' 2D sprite pictures, discs on black: "glow.bmp" (fire), "puff.bmp" (grey
// smoke) and "bolt.bmp" (a white-hot spot), 32 x 32 each, with their file names.
std::vector<std::pair<std::string, BmpImage>> MakeSpriteImages();
// 320 x 240: a metal plate with a lit frame and bands.
BmpImage MakeLoadingImage();

}  // namespace mkdata
