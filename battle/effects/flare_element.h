// One element of the lens flare: a textured square on the line from the sun to the middle of the
// view, as the arena's global parameters give it.
#pragma once

#include <cstdint>

struct FlareElement {
  // 0 draws the disc texture, any other value the ring texture.
  std::uint32_t type = 0;
  // The place on the line from the sun (0) to the point 100 units ahead of the camera (1); below
  // 0 beyond the sun, above 1 past the middle of the view.
  float distance = 0.0f;
  // The square is 100 x scale pixels on a side before the weather enlarges it.
  float scale = 0.0f;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};
