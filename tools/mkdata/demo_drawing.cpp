#include "tools/mkdata/demo_drawing.h"

#include <cmath>
#include <cstddef>

#include "tools/mkdata/demo_palette.h"

namespace mkdata {

namespace {

// The demo palette's ramps: 29 entries each from index 10.
constexpr std::uint32_t kRampStart = 10;
constexpr std::uint32_t kRampLength = 29;

}  // namespace

std::uint8_t Shade(DemoRamp ramp, double level) {
  const double clamped = std::fmin(1.0, std::fmax(0.0, level));
  return static_cast<std::uint8_t>(kRampStart + ramp * kRampLength +
                                   std::lround(clamped * (kRampLength - 1)));
}

BmpImage Draw(int width, int height, const std::function<std::uint8_t(int x, int y)>& index) {
  BmpImage image;
  image.width = static_cast<std::uint32_t>(width);
  image.height = static_cast<std::uint32_t>(height);
  image.colours = MakeDemoPaletteImage().colours;
  image.pixels.resize(static_cast<std::size_t>(width) * height);
  for (int row = 0; row < height; ++row) {
    const int y = height - 1 - row;  // the file's rows run bottom-up
    for (int x = 0; x < width; ++x) {
      image.pixels[static_cast<std::size_t>(row) * width + x] = index(x, y);
    }
  }
  return image;
}

}  // namespace mkdata
