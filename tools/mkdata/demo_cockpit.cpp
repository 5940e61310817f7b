#include "tools/mkdata/demo_cockpit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "tools/mkdata/demo_drawing.h"

namespace mkdata {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Box {
  int x;
  int y;
  int width;
  int height;
  bool Inside(int px, int py, int margin = 0) const {
    return px >= x - margin && px < x + width + margin && py >= y - margin &&
           py < y + height + margin;
  }
};

// The recesses of the cockpit picture (screen rows 264 and down): where its panels sit.
constexpr std::array<Box, 16> kRecesses = {{
    {289, 44, 68, 91},    // shield and armor box
    {34, 39, 242, 104},   // message log
    {372, 43, 136, 136},  // weapons list or map
    {520, 109, 70, 72},   // target box
    {98, 168, 47, 11},    // power gauge
    {195, 168, 47, 11},   // flow gauge
    {314, 31, 20, 12},    // armor value
    {314, 147, 20, 12},   // crits value
    {536, 35, 30, 12},    // kills
    {536, 58, 30, 12},    // deaths
    {536, 81, 36, 12},    // score
    {48, 197, 490, 14},   // status line
    {540, 197, 40, 14},   // round-trip time
    {609, 50, 20, 128},   // throttle
    {1, 54, 8, 109},      // turret pitch
    {0, 0, 0, 0},
}};

// A 3 x 5 letter for the compass marks, rows from the top, bit 2 the left column.
using Glyph = std::array<std::uint8_t, 5>;
constexpr Glyph kLetterN = {0b101, 0b111, 0b111, 0b111, 0b101};
constexpr Glyph kLetterE = {0b111, 0b100, 0b110, 0b100, 0b111};
constexpr Glyph kLetterS = {0b111, 0b100, 0b111, 0b001, 0b111};
constexpr Glyph kLetterW = {0b101, 0b101, 0b111, 0b111, 0b101};

bool GlyphAt(const Glyph& glyph, int gx, int gy, int scale) {
  const int column = gx / scale;
  const int row = gy / scale;
  if (gx < 0 || gy < 0 || column > 2 || row > 4) {
    return false;
  }
  return (glyph[static_cast<std::size_t>(row)] >> (2 - column) & 1) != 0;
}

// A strip of one turn and a window: heading h is centred at `centre` - h x `perUnit`.
BmpImage CompassStrip(int width, int height, int centre, double perUnit, int scale) {
  const std::array<std::pair<int, const Glyph*>, 5> marks = {
      {{0, &kLetterN}, {128, &kLetterE}, {256, &kLetterS}, {384, &kLetterW}, {512, &kLetterN}}};
  return Draw(width, height, [&](int x, int y) {
    for (const auto& [heading, glyph] : marks) {
      const int at = centre - static_cast<int>(std::lround(heading * perUnit));
      if (GlyphAt(*glyph, x - at + 3 * scale / 2, y - 1, scale)) {
        return heading == 0 || heading == 512 ? Shade(kFire, 0.9) : Shade(kGlare, 0.95);
      }
    }
    // Ticks every 16 units, longer every 64.
    for (int heading = 0; heading <= 512; heading += 16) {
      const int at = centre - static_cast<int>(std::lround(heading * perUnit));
      const int length = heading % 64 == 0 ? height / 3 : height / 5;
      if (x == at && y >= height - length) {
        return Shade(kGlare, 0.8);
      }
    }
    return y == height - 1 ? Shade(kGrass, 0.7) : kBlack;
  });
}

// Crosshairs: columns ready (bright) and just fired (dim), a shape a row.
BmpImage Crosshairs(int side) {
  return Draw(side * 2, side * kCrosshairRows, [&](int x, int y) {
    const int row = y / side;
    const bool ready = x < side;
    const double cx = (x % side) + 0.5 - side / 2.0;
    const double cy = (y % side) + 0.5 - side / 2.0;
    const double r = std::hypot(cx, cy) / (side / 2.0);
    const double ax = std::fabs(cx) / (side / 2.0);
    const double ay = std::fabs(cy) / (side / 2.0);
    bool on = false;
    switch (row % 4) {
      case 0:  // a cross with a gap
        on = (ax < 0.07 || ay < 0.07) && r > 0.25 && r < 0.95;
        break;
      case 1:  // a ring with a dot
        on = std::fabs(r - 0.7) < 0.08 || r < 0.1;
        break;
      case 2:  // corner brackets
        on = (ax > 0.75 && ax < 0.9 && ay > 0.4 && ay < 0.9) ||
             (ay > 0.75 && ay < 0.9 && ax > 0.4 && ax < 0.9);
        break;
      default:  // a diamond
        on = std::fabs(ax + ay - 0.7) < 0.09;
        break;
    }
    if (row >= 4 && r < 0.12) {
      on = true;
    }
    if (!on) {
      return kBlack;
    }
    return ready ? Shade(kGrass, 0.95) : Shade(kFire, 0.5);
  });
}

BmpImage RadarScope(int side) {
  return Draw(side, side, [&](int x, int y) {
    const double cx = x + 0.5 - side / 2.0;
    const double cy = y + 0.5 - side / 2.0;
    const double r = std::hypot(cx, cy) / (side / 2.0);
    if (r >= 1.0) {
      return kBlack;
    }
    if (r > 0.95 || std::fabs(r - 0.5) < 1.0 / side || std::fabs(cx) < 0.5 || std::fabs(cy) < 0.5) {
      return Shade(kGrass, 0.55);
    }
    return Shade(kGrass, 0.12);
  });
}

BmpImage MapGrid(int side) {
  const int cell = side / 8;
  return Draw(side, side, [&](int x, int y) {
    if (x % cell == 0 || y % cell == 0) {
      return Shade(kGrass, 0.35);
    }
    return kBlack;
  });
}

// Shield arcs: six frames side by side, level 5 first; each lit arc segment one level.
BmpImage ShieldFrames(bool front) {
  constexpr int kWidth = 66;
  constexpr int kHeight = 33;
  return Draw(kWidth * 6, kHeight, [&](int x, int y) {
    const int level = 5 - x / kWidth;
    const double cx = (x % kWidth) + 0.5 - kWidth / 2.0;
    const double cy = front ? kHeight - (y + 0.5) : y + 0.5;
    const double r = std::hypot(cx / (kWidth / 2.0), cy / kHeight);
    if (r < 0.82 || r > 0.98) {
      return kBlack;
    }
    const double angle = std::atan2(cy, cx);
    const int segment = std::min(4, static_cast<int>(angle / kPi * 5.0));
    // Lit from the middle segment outwards, one segment a level.
    const int centreOut = std::abs(segment - 2);
    const int rank = centreOut == 0 ? 0 : centreOut * 2 - (segment < 2 ? 1 : 0);
    return rank < level ? Shade(kSky, 0.85) : Shade(kGrey, 0.3);
  });
}

// The hull from above, five frames side by side from whole (green) to destroyed (grey).
BmpImage ArmorFrames() {
  constexpr int kWidth = 30;
  constexpr int kHeight = 45;
  return Draw(kWidth * 5, kHeight, [&](int x, int y) {
    const int frame = x / kWidth;
    const int px = x % kWidth;
    const bool hull = px >= 3 && px < kWidth - 3 && y >= 2 && y < kHeight - 2;
    const bool track = hull && (px < 8 || px >= kWidth - 8);
    if (!hull) {
      return kBlack;
    }
    if (frame == 4) {
      return Shade(kGrey, track ? 0.2 : 0.35);
    }
    const DemoRamp ramp = frame == 0 ? kGrass : kFire;
    const double level = frame == 0 ? 0.6 : 0.85 - 0.2 * frame;
    return Shade(ramp, track ? level - 0.25 : level);
  });
}

// The turret from above: twelve swivel directions across, five crit levels down.
BmpImage TurretFrames() {
  constexpr int kWidth = 56;
  constexpr int kHeight = 50;
  return Draw(kWidth * 12, kHeight * 5, [&](int x, int y) {
    const int column = x / kWidth;
    const int row = y / kHeight;
    const double cx = (x % kWidth) + 0.5 - kWidth / 2.0;
    const double cy = (y % kHeight) + 0.5 - kHeight / 2.0;
    // Column 0 points forward (up); the columns turn a twelfth each.
    const double angle = column * 2.0 * kPi / 12.0;
    const double along = -cy * std::cos(angle) + cx * std::sin(angle);
    const double across = cx * std::cos(angle) + cy * std::sin(angle);
    const bool ring = std::hypot(cx, cy) < 8.0;
    const bool barrel = along > 0.0 && along < 22.0 && std::fabs(across) < 1.6;
    if (!ring && !barrel) {
      return kBlack;
    }
    if (row == 0) {
      return Shade(kGrass, ring ? 0.75 : 0.9);
    }
    return Shade(kFire, (ring ? 0.95 : 1.0) - 0.18 * row);
  });
}

// The target's turret shield: five frames side by side, full (5) first.
BmpImage TargetShield() {
  constexpr int kWidth = 5;
  constexpr int kHeight = 24;
  return Draw(kWidth * 5, kHeight, [&](int x, int y) {
    const int level = 5 - x / kWidth;
    const int px = x % kWidth;
    if (px == 0 || px == kWidth - 1) {
      return kBlack;
    }
    return y >= kHeight - level * kHeight / 5 ? Shade(kSky, 0.8) : Shade(kGrey, 0.25);
  });
}

BmpImage SmallTank() {
  return Draw(48, 24, [](int x, int y) {
    const bool tracks = y >= 15 && y < 22 && x >= 4 && x < 44;
    const bool hull = y >= 10 && y < 15 && x >= 6 && x < 42;
    const bool turret = y >= 5 && y < 10 && x >= 16 && x < 30;
    const bool barrel = y >= 6 && y < 8 && x >= 30 && x < 46;
    if (tracks) {
      return Shade(kGrey, (x / 3) % 2 == 0 ? 0.3 : 0.45);
    }
    return hull || turret || barrel ? Shade(kMetal, 0.7) : kBlack;
  });
}

// A bar of `ramp` with a darker rim, in the rows [top, bottom) of each column.
BmpImage Bar(int width, int height, DemoRamp ramp, double level) {
  return Draw(width, height, [&](int x, int y) {
    const bool rim = y == 0 || y == height - 1 || x == 0 || x == width - 1;
    return rim ? Shade(ramp, level - 0.3) : Shade(ramp, level + 0.1 * std::sin(y * 0.8));
  });
}

// A frame around a hollow middle that shows the gauge behind it.
BmpImage HollowFrame(int width, int height) {
  return Draw(width, height, [&](int x, int y) {
    const bool edge = x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
    if (!edge) {
      return kBlack;
    }
    return x < 1 || y < 1 ? Shade(kGrey, 0.85) : Shade(kMetal, 0.45);
  });
}

BmpImage CockpitPicture() {
  return Draw(640, 216, [](int x, int y) {
    for (const Box& recess : kRecesses) {
      if (recess.width == 0) {
        continue;
      }
      if (recess.Inside(x, y)) {
        return Shade(kGrey, 0.06);
      }
      if (recess.Inside(x, y, 2)) {
        // Lit from the top left: the lower and right rims are bright.
        return y >= recess.y + recess.height || x >= recess.x + recess.width ? Shade(kGrey, 0.75)
                                                                             : Shade(kGrey, 0.15);
      }
    }
    if (y < 3) {
      return Shade(kMetal, 0.9);
    }
    const bool rivet = (x % 40 == 20) && (y % 40 == 20);
    if (rivet) {
      return Shade(kMetal, 0.85);
    }
    return Shade(kMetal, 0.3 + 0.06 * std::sin(x / 37.0) + 0.04 * std::sin(y / 11.0));
  });
}

BmpImage MessageBox() {
  return Draw(300, 160, [](int x, int y) {
    const bool outer = x < 3 || y < 3 || x >= 297 || y >= 157;
    const bool inner = x < 6 || y < 6 || x >= 294 || y >= 154;
    if (outer) {
      return Shade(kGlare, 0.7);
    }
    if (inner) {
      return Shade(kMetal, 0.2);
    }
    return Shade(kMetal, 0.35);
  });
}

}  // namespace

std::vector<std::pair<std::string, BmpImage>> MakeCockpitImages() {
  std::vector<std::pair<std::string, BmpImage>> images;
  images.emplace_back("Cockpit.bmp", CockpitPicture());
  images.emplace_back("Radar.bmp", RadarScope(104));
  images.emplace_back("Radarl.bmp", RadarScope(64));
  images.emplace_back("Crosshrs.bmp", Crosshairs(32));
  images.emplace_back("Crosshrsl.bmp", Crosshairs(16));
  images.emplace_back("MapGrid.bmp", MapGrid(136));
  images.emplace_back("MapGridl.bmp", MapGrid(68));
  // Windows of 102 (51) columns from 504 - 0.984375 h (252 - 0.4921875 h).
  images.emplace_back("Compass.bmp", CompassStrip(608, 21, 555, 0.984375, 2));
  images.emplace_back("Compassl.bmp", CompassStrip(304, 12, 277, 0.4921875, 1));
  images.emplace_back("Comp_Ptr.bmp", Draw(8, 4, [](int x, int y) {
                        return std::abs(2 * x - 7) <= 7 - 2 * y ? Shade(kFire, 0.95) : kBlack;
                      }));
  // Full power shows the left half, none the right.
  images.emplace_back("GreenBar.bmp", Draw(94, 11, [](int x, int y) {
                        const bool rim = y == 0 || y == 10;
                        if (x < 47) {
                          return rim ? Shade(kGrass, 0.4) : Shade(kGrass, 0.8);
                        }
                        return rim ? Shade(kGrey, 0.3) : Shade(kGrey, 0.12);
                      }));
  images.emplace_back("Feed.bmp", Bar(47, 11, kFire, 0.8));
  images.emplace_back("Throttle.bmp", Draw(20, 128, [](int x, int y) {
                        const bool tick = y % 16 == 0 && (x < 4 || x >= 16);
                        if (tick) {
                          return Shade(kGlare, 0.9);
                        }
                        return y < 64 ? Shade(kGrass, 0.45 + y / 160.0)
                                      : Shade(kFire, 0.85 - (y - 64) / 160.0);
                      }));
  images.emplace_back("FullThrt.bmp", Draw(20, 128, [](int x, int y) {
                        const bool rim = x == 0 || x == 19;
                        if (rim) {
                          return Shade(kGrey, 0.6);
                        }
                        return y < 64 ? Shade(kGrass, 0.8) : Shade(kFire, 0.7);
                      }));
  // The visible column and the picture two widths on share the scale; the middle one is unused.
  images.emplace_back("Pitch.bmp", Draw(24, 109, [](int x, int y) {
                        const int column = x / 8;
                        if (column == 1) {
                          return kBlack;
                        }
                        const int px = x % 8;
                        if (std::abs(y - 54) <= 1) {
                          return Shade(kFire, 0.9);
                        }
                        return y % 9 == 0 && px >= 3 ? Shade(kGlare, 0.8) : Shade(kGrey, 0.1);
                      }));
  images.emplace_back("FShields.bmp", ShieldFrames(true));
  images.emplace_back("RShields.bmp", ShieldFrames(false));
  images.emplace_back("Armor.bmp", ArmorFrames());
  images.emplace_back("Turrets.bmp", TurretFrames());
  images.emplace_back("f_t_shld.bmp", TargetShield());
  images.emplace_back("r_t_shld.bmp", TargetShield());
  images.emplace_back("sm_tank.bmp", SmallTank());
  images.emplace_back("messbox.bmp", MessageBox());
  // Lamp frames: lit green (first), red (second).
  images.emplace_back("R_Lites.bmp", Draw(24, 12, [](int x, int y) {
                        const double r = std::hypot(x % 12 + 0.5 - 6.0, y + 0.5 - 6.0);
                        if (r > 5.5) {
                          return Shade(kGrey, 0.2);
                        }
                        return x < 12 ? Shade(kGrass, 0.95 - r / 12.0)
                                      : Shade(kFire, 0.95 - r / 12.0);
                      }));
  images.emplace_back("powerbox.bmp", HollowFrame(111, 15));
  images.emplace_back("feedbox.bmp", HollowFrame(86, 15));
  images.emplace_back("rocketh.bmp", Draw(24, 64, [](int x, int y) {
                        const bool rim = x == 0 || x == 23;
                        return rim ? Shade(kGrey, 0.5) : Shade(kFire, 0.95 - y / 100.0);
                      }));
  return images;
}

}  // namespace mkdata
