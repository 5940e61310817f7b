#include "tools/mkdata/demo_design.h"

#include <cmath>
#include <cstdint>
#include <functional>

#include "battle/screens/design_layout.h"
#include "tools/mkdata/demo_drawing.h"

namespace mkdata {

namespace {

// Frames of the armor and turret pictures, and looks of the battery gauge.
constexpr int kDamageFrames = 5;
constexpr int kGaugeLooks = 2;

bool Inside(const DesignPiece& piece, int x, int y, int margin) {
  return x >= piece.x - margin && x < piece.x + piece.width + margin && y >= piece.y - margin &&
         y < piece.y + piece.height + margin;
}

// A plate with a lit top-left edge and a dark bottom-right one; pressed swaps them.
BmpImage Plate(const DesignPiece& piece, DemoRamp ramp, bool pressed) {
  return Draw(piece.width, piece.height, [&](int x, int y) {
    const bool edgeLit = x < 2 || y < 2;
    const bool edgeDark = x >= piece.width - 2 || y >= piece.height - 2;
    if (edgeLit || edgeDark) {
      return Shade(kGrey, edgeLit != pressed ? 0.9 : 0.2);
    }
    return Shade(ramp, pressed ? 0.35 : 0.55);
  });
}

// A triangle pointing left (-1) or right (1) along x, or up (-2) or down (2) along y.
BmpImage Arrow(const DesignPiece& piece, int direction, double level) {
  return Draw(piece.width, piece.height, [&](int x, int y) {
    const bool vertical = direction == -2 || direction == 2;
    const double along = vertical ? (y + 0.5) / piece.height : (x + 0.5) / piece.width;
    const double across = vertical ? (x + 0.5) / piece.width : (y + 0.5) / piece.height;
    const double tip = direction < 0 ? along : 1.0 - along;
    return std::fabs(across - 0.5) < tip / 2 ? Shade(kGlare, level) : kBlack;
  });
}

// Frames side by side of a shape that goes from green to red to black as damage grows.
BmpImage DamageFrames(const DesignPiece& piece, const std::function<bool(double, double)>& shape) {
  return Draw(piece.width * kDamageFrames, piece.height, [&](int x, int y) {
    const int frame = x / piece.width;
    if (!shape((x % piece.width + 0.5) / piece.width, (y + 0.5) / piece.height)) {
      return kBlack;
    }
    if (frame == kDamageFrames - 1) {
      return Shade(kGrey, 0.25);
    }
    return frame == 0 ? Shade(kGrass, 0.7) : Shade(kFire, 0.9 - 0.2 * frame);
  });
}

}  // namespace

std::vector<std::pair<std::string, BmpImage>> MakeDesignImages() {
  std::vector<std::pair<std::string, BmpImage>> images;
  const DesignPiece& background = kDesignBackground;
  images.emplace_back(
      background.bitmap, Draw(background.width, background.height, [](int x, int y) {
        for (const DesignPiece* pane : {&kEquipmentListPiece, &kBayListPiece, &kStoredListPiece}) {
          if (Inside(*pane, x, y, 0)) {
            return kBlack;
          }
          if (Inside(*pane, x, y, 3)) {
            return Shade(kGlare, 0.7);
          }
        }
        const bool frame = x < 6 || x >= 634 || y < 6 || y >= 474;
        return frame ? Shade(kGlare, 0.8) : Shade(kMetal, 0.25 + 0.15 * std::sin(y / 24.0));
      }));
  images.emplace_back(kPreviousChassisButton.bitmap, Arrow(kPreviousChassisButton, -1, 0.9));
  images.emplace_back(kNextChassisButton.bitmap, Arrow(kNextChassisButton, 1, 0.9));
  images.emplace_back(kScrollUpPiece.bitmap, Arrow(kScrollUpPiece, -2, 0.9));
  images.emplace_back(kScrollUpPiece.pressedBitmap, Arrow(kScrollUpPiece, -2, 0.3));
  images.emplace_back(kScrollDownPiece.bitmap, Arrow(kScrollDownPiece, 2, 0.9));
  images.emplace_back(kScrollDownPiece.pressedBitmap, Arrow(kScrollDownPiece, 2, 0.3));
  const DesignPiece& thumb = kScrollThumbPiece;
  images.emplace_back(thumb.bitmap, Draw(thumb.width, thumb.height, [&](int x, int y) {
                        const double r = 2.0 * std::hypot((x + 0.5) / thumb.width - 0.5,
                                                          (y + 0.5) / thumb.height - 0.5);
                        return r < 1.0 ? Shade(kFire, 0.9 - 0.5 * r) : kBlack;
                      }));
  for (const auto& [piece, ramp] : {std::pair{&kDoneButton, kGrass}, std::pair{&kApplyButton, kSky},
                                    std::pair{&kSaveButton, kGlare}}) {
    images.emplace_back(piece->bitmap, Plate(*piece, ramp, false));
    images.emplace_back(piece->pressedBitmap, Plate(*piece, ramp, true));
  }
  // A, B and C: one, two and three dots.
  for (std::size_t button = 0; button < kConfigurationButtons.size(); ++button) {
    const DesignPiece& piece = kConfigurationButtons[button];
    images.emplace_back(piece.bitmap, Draw(piece.width, piece.height, [&](int x, int y) {
                          const int dots = static_cast<int>(button) + 1;
                          const int column = x * dots / piece.width;
                          const double cx = (column + 0.5) * piece.width / dots;
                          const bool dot = std::hypot(x + 0.5 - cx, y + 0.5 - piece.height / 2.0) <
                                           piece.width / (2.5 * dots) + 0.5;
                          return dot ? Shade(kGlare, 0.9) : Shade(kMetal, 0.45);
                        }));
  }
  const DesignPiece& gauge = kBatteryGauge;
  images.emplace_back(gauge.bitmap,
                      Draw(gauge.width * kGaugeLooks, gauge.height, [&](int x, int y) {
                        const bool edge = y == 0 || y == gauge.height - 1;
                        if (edge) {
                          return Shade(kGrey, 0.6);
                        }
                        return x < gauge.width ? Shade(kGrass, 0.75) : Shade(kGrey, 0.15);
                      }));
  images.emplace_back(kArmorPicture.bitmap, DamageFrames(kArmorPicture, [](double x, double y) {
                        return x > 0.1 && x < 0.9 && y > 0.05 && y < 0.95;
                      }));
  images.emplace_back(kTurretPicture.bitmap, DamageFrames(kTurretPicture, [](double x, double y) {
                        const bool barrel = std::fabs(x - 0.5) < 0.08 && y < 0.5;
                        return barrel || std::hypot(x - 0.5, (y - 0.55) * 0.63) < 0.25;
                      }));
  return images;
}

}  // namespace mkdata
