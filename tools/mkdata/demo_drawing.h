// Drawing helpers of the demo's pictures: the demo palette's shaded ramps and an image drawn
// pixel by pixel from the top left.
#pragma once

#include <cstdint>
#include <functional>

#include "tools/mkdata/bmp_writer.h"

namespace mkdata {

// The demo palette's ramps, dark to light.
enum DemoRamp : std::uint32_t {
  kGrey = 0,
  kGrass = 1,
  kEarth = 2,
  kSky = 3,
  kFire = 4,
  kDusk = 5,
  kGlare = 6,
  kMetal = 7
};
// The palette's first entry: black, and the see-through index of keyed pictures.
inline constexpr std::uint8_t kBlack = 0;

// The ramp's entry at a level from 0 (dark) to 1 (light), clamped.
std::uint8_t Shade(DemoRamp ramp, double level);

// An image over the demo colours whose pixel (x, y), in pixels from the top-left, is index(x, y).
BmpImage Draw(int width, int height, const std::function<std::uint8_t(int x, int y)>& index);

}  // namespace mkdata
