#include "tools/mkdata/demo_equipment.h"

#include <cmath>
#include <cstdint>
#include <functional>

#include "tools/mkdata/demo_palette.h"

namespace mkdata {

namespace {

// The demo palette's ramps: 29 entries each from index 10, dark to light.
constexpr std::uint32_t kRampStart = 10;
constexpr std::uint32_t kRampLength = 29;
enum Ramp : std::uint32_t { kGrey = 0, kEarth = 2, kSky = 3, kFire = 4, kGlare = 6, kMetal = 7 };
constexpr std::uint8_t kBlack = 0;

// The palette index of a ramp's shade, 0 (dark) to 1 (light).
std::uint8_t Shade(Ramp ramp, double level) {
  const double clamped = std::fmin(1.0, std::fmax(0.0, level));
  return static_cast<std::uint8_t>(kRampStart + ramp * kRampLength +
                                   std::lround(clamped * (kRampLength - 1)));
}

// An image over the demo colours whose pixel (x, y), y from the top, is index(x, y).
BmpImage Draw(std::uint32_t width, std::uint32_t height,
              const std::function<std::uint8_t(double x, double y)>& index) {
  BmpImage image;
  image.width = width;
  image.height = height;
  image.colours = MakeDemoPaletteImage().colours;
  image.pixels.resize(static_cast<std::size_t>(width) * height);
  for (std::uint32_t row = 0; row < height; ++row) {
    const std::uint32_t y = height - 1 - row;  // the file's rows run bottom-up
    for (std::uint32_t x = 0; x < width; ++x) {
      image.pixels[static_cast<std::size_t>(row) * width + x] =
          index((x + 0.5) / width, (y + 0.5) / height);
    }
  }
  return image;
}

// Distance from the image's centre in half-widths.
double Radius(double x, double y) { return 2.0 * std::hypot(x - 0.5, y - 0.5); }

}  // namespace

std::vector<std::pair<std::string, BmpImage>> MakeSkyImages() {
  std::vector<std::pair<std::string, BmpImage>> images;
  images.emplace_back("sky.bmp",
                      Draw(128, 128, [](double, double y) { return Shade(kSky, 0.35 + 0.6 * y); }));
  images.emplace_back("cloud.bmp", Draw(128, 128, [](double x, double y) {
                        const double puff = std::sin(6.2832 * 3 * x) * std::sin(6.2832 * 2 * y) +
                                            0.5 * std::sin(6.2832 * 5 * (x + y));
                        return puff > 0.2 ? Shade(kGrey, 0.7 + 0.2 * puff) : kBlack;
                      }));
  images.emplace_back(
      "ground.bmp", Draw(64, 64, [](double x, double y) {
        return Shade(kEarth, 0.4 + 0.15 * std::sin(6.2832 * 4 * x) * std::cos(6.2832 * 3 * y));
      }));
  images.emplace_back("sun.bmp", Draw(64, 64, [](double x, double y) {
                        const double r = Radius(x, y);
                        return r < 1.0 ? Shade(kGlare, 1.0 - 0.4 * r) : kBlack;
                      }));
  images.emplace_back("moon.bmp", Draw(64, 64, [](double x, double y) {
                        const double r = Radius(x, y);
                        const double crater = Radius(x * 1.7, y * 1.3) < 0.3 ? 0.15 : 0.0;
                        return r < 1.0 ? Shade(kGrey, 0.8 - 0.2 * r - crater) : kBlack;
                      }));
  images.emplace_back("lf_ring.bmp", Draw(64, 64, [](double x, double y) {
                        const double r = Radius(x, y);
                        return r > 0.75 && r < 0.95 ? Shade(kGlare, 0.6) : kBlack;
                      }));
  images.emplace_back("lf_disk.bmp", Draw(64, 64, [](double x, double y) {
                        const double r = Radius(x, y);
                        return r < 1.0 ? Shade(kGlare, 0.5 * (1.0 - r)) : kBlack;
                      }));
  return images;
}

std::vector<std::pair<std::string, BmpImage>> MakeSpriteImages() {
  std::vector<std::pair<std::string, BmpImage>> images;
  const std::pair<const char*, Ramp> discs[] = {
      {"glow.bmp", kFire}, {"puff.bmp", kGrey}, {"bolt.bmp", kGlare}};
  for (const auto& disc : discs) {
    const Ramp ramp = disc.second;
    images.emplace_back(disc.first, Draw(32, 32, [ramp](double x, double y) {
                          const double r = Radius(x, y);
                          return r < 0.95 ? Shade(ramp, 1.0 - 0.7 * r) : kBlack;
                        }));
  }
  return images;
}

BmpImage MakeLoadingImage() {
  return Draw(320, 240, [](double x, double y) {
    const bool frame = x < 0.03 || x > 0.97 || y < 0.04 || y > 0.96;
    if (frame) {
      return Shade(kGlare, 0.8);
    }
    const bool band = std::fabs(y - 0.5) < 0.08;
    return band ? Shade(kSky, 0.4 + 0.5 * x) : Shade(kMetal, 0.3 + 0.2 * y);
  });
}

}  // namespace mkdata
