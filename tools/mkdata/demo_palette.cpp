#include "tools/mkdata/demo_palette.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace mkdata {

namespace {

constexpr std::uint32_t kSide = 16;
constexpr std::uint32_t kColours = kSide * kSide;
// Entries 0-9 and 246-255 stay the display's system colours; the demo draws with the rest.
constexpr std::uint32_t kFirstShared = 10;
constexpr std::uint32_t kSharedCount = 236;

struct Ramp {
  BmpColour dark;
  BmpColour light;
};

// Shaded ramps of what an arena shows: rock and concrete, grass, earth, water and sky, fire,
// dusk, the sun's glare and tank metal. The shared entries split evenly between them.
constexpr std::array<Ramp, 8> kRamps{{
    {{8, 8, 8}, {248, 248, 248}},
    {{12, 40, 8}, {150, 220, 96}},
    {{40, 24, 8}, {224, 184, 128}},
    {{8, 16, 64}, {168, 220, 255}},
    {{64, 8, 0}, {255, 200, 64}},
    {{32, 0, 48}, {232, 120, 200}},
    {{120, 96, 16}, {255, 255, 224}},
    {{24, 32, 40}, {176, 196, 210}},
}};

// The first colours of the standard 20 system colours; the display keeps its own there anyway.
constexpr std::array<BmpColour, 10> kLowSystem{{{0, 0, 0},
                                                {128, 0, 0},
                                                {0, 128, 0},
                                                {128, 128, 0},
                                                {0, 0, 128},
                                                {128, 0, 128},
                                                {0, 128, 128},
                                                {192, 192, 192},
                                                {192, 220, 192},
                                                {166, 202, 240}}};
constexpr std::array<BmpColour, 10> kHighSystem{{{255, 251, 240},
                                                 {160, 160, 164},
                                                 {128, 128, 128},
                                                 {255, 0, 0},
                                                 {0, 255, 0},
                                                 {255, 255, 0},
                                                 {0, 0, 255},
                                                 {255, 0, 255},
                                                 {0, 255, 255},
                                                 {255, 255, 255}}};

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, std::uint32_t k, std::uint32_t parts) {
  return static_cast<std::uint8_t>((a * (parts - k) + b * k + parts / 2) / parts);
}

std::array<BmpColour, kColours> DemoColours() {
  std::array<BmpColour, kColours> colours{};
  std::copy(kLowSystem.begin(), kLowSystem.end(), colours.begin());
  std::copy(kHighSystem.begin(), kHighSystem.end(), colours.end() - kHighSystem.size());
  const std::uint32_t perRamp = kSharedCount / kRamps.size();
  for (std::uint32_t i = 0; i < kSharedCount; ++i) {
    // The few entries left over after the even split lengthen the last ramp.
    const std::uint32_t ramp = std::min<std::uint32_t>(i / perRamp, kRamps.size() - 1);
    const std::uint32_t length =
        ramp + 1 == kRamps.size() ? kSharedCount - ramp * perRamp : perRamp;
    const std::uint32_t k = i - ramp * perRamp;
    const Ramp& r = kRamps[ramp];
    colours[kFirstShared + i] = {Mix(r.dark.red, r.light.red, k, length - 1),
                                 Mix(r.dark.green, r.light.green, k, length - 1),
                                 Mix(r.dark.blue, r.light.blue, k, length - 1)};
  }
  return colours;
}

// Heat by brightness: black through deep red, orange and yellow to white.
BmpColour Heat(const BmpColour& colour) {
  const std::uint32_t brightness =
      (299 * colour.red + 587 * colour.green + 114 * colour.blue) / 1000;
  constexpr std::array<BmpColour, 5> kHeat{
      {{0, 0, 0}, {128, 0, 16}, {240, 96, 0}, {255, 224, 32}, {255, 255, 255}}};
  constexpr std::uint32_t kBand = 64;
  const std::uint32_t band = std::min<std::uint32_t>(brightness / kBand, kHeat.size() - 2);
  const std::uint32_t k = brightness - band * kBand;
  const BmpColour& a = kHeat[band];
  const BmpColour& b = kHeat[band + 1];
  return {Mix(a.red, b.red, k, kBand - 1), Mix(a.green, b.green, k, kBand - 1),
          Mix(a.blue, b.blue, k, kBand - 1)};
}

BmpImage ImageOf(const std::array<BmpColour, kColours>& colours) {
  BmpImage image{kSide, kSide, {colours.begin(), colours.end()}, {}};
  for (std::uint32_t i = 0; i < kColours; ++i) {
    image.pixels.push_back(static_cast<std::uint8_t>(i));
  }
  return image;
}

}  // namespace

BmpImage MakeDemoPaletteImage() { return ImageOf(DemoColours()); }

BmpImage MakeInfraRedPaletteImage() {
  std::array<BmpColour, kColours> colours = DemoColours();
  for (std::uint32_t i = kFirstShared; i < kFirstShared + kSharedCount; ++i) {
    colours[i] = Heat(colours[i]);
  }
  return ImageOf(colours);
}

}  // namespace mkdata
