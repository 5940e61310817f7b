#include "probex/resources.h"

#include <cmath>
#include <functional>

#include "probex/resource_ids.h"

namespace {

using platform::DialogControlKind;
using platform::DialogControlTemplate;

constexpr DialogControlKind kLabel = DialogControlKind::kLabel;
constexpr DialogControlKind kGroup = DialogControlKind::kGroupBox;
constexpr DialogControlKind kIcon = DialogControlKind::kIcon;
constexpr DialogControlKind kEdit = DialogControlKind::kEdit;
constexpr DialogControlKind kMulti = DialogControlKind::kMultiLineEdit;

const DialogControlTemplate kControls[] = {
    {kIdOk, DialogControlKind::kDefaultButton, "OK", 336, 238, 50, 14},
    {kIdCancel, DialogControlKind::kButton, "Cancel", 336, 253, 50, 14},
    {-1, kGroup, "System", 7, 1, 370, 87},
    {-1, kLabel, "OS", 16, 11, 60, 9},
    {kOsText, kEdit, "", 86, 9, 212, 12},
    {kOsIcon, kIcon, "", 327, 6, 18, 20},
    {-1, kLabel, "DISK SPACE", 16, 30, 60, 9},
    {kDiskText, kEdit, "", 86, 28, 212, 12},
    {kDiskIcon, kIcon, "", 327, 26, 18, 20},
    {-1, kLabel, "MEMORY", 16, 51, 60, 9},
    {kMemoryText, kEdit, "", 86, 50, 212, 12},
    {kMemoryIcon, kIcon, "", 327, 46, 18, 20},
    {-1, kLabel, "PROCESSOR", 16, 72, 60, 9},
    {kProcessorText, kEdit, "", 86, 70, 212, 12},
    {kProcessorIcon, kIcon, "", 327, 66, 18, 20},
    {-1, kGroup, "DirectX", 7, 90, 370, 75},
    {-1, kLabel, "DIRECTDRAW", 16, 103, 60, 9},
    {kDirectDrawText, kMulti, "", 86, 97, 212, 20},
    {kDirectDrawIcon, kIcon, "", 327, 97, 18, 20},
    {-1, kLabel, "DIRECTSOUND", 16, 124, 60, 9},
    {kDirectSoundText, kMulti, "", 86, 118, 212, 20},
    {kDirectSoundIcon, kIcon, "", 327, 119, 18, 20},
    {-1, kLabel, "DIRECTINPUT", 16, 145, 60, 9},
    {kDirectInputText, kMulti, "", 86, 140, 212, 20},
    {kDirectInputIcon, kIcon, "", 327, 141, 18, 20},
    {-1, kGroup, "Network", 7, 167, 370, 50},
    {-1, kLabel, "WINSOCK", 16, 178, 60, 9},
    {kWinsockText, kMulti, "", 86, 173, 212, 20},
    {kWinsockIcon, kIcon, "", 327, 173, 18, 20},
    {-1, kLabel, "PING TIME", 16, 200, 60, 9},
    {kPingButton, DialogControlKind::kButton, "Ping Server", 86, 198, 54, 13},
    {kServerNameText, kEdit, "", 143, 198, 109, 12},
    {kPingResultText, kEdit, "", 254, 198, 44, 12},
    {kPingIcon, kIcon, "", 327, 193, 18, 20},
    {-1, kGroup, "Comments", 7, 218, 320, 49},
    {kReportText, DialogControlKind::kReport, "", 13, 227, 307, 35},
};

const platform::DialogTemplate kSystemCheck{"Kelvane System Check", 393, 274, kControls};

constexpr int kIconSize = 32;

constexpr std::uint16_t Rgb565(int red, int green, int blue) {
  return static_cast<std::uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

// An icon painted pixel by pixel: the painter gives a pixel's colour, or nothing to leave it
// clear.
platform::IconImage PaintIcon(const std::function<bool(float, float, std::uint16_t&)>& painter) {
  platform::IconImage icon;
  icon.width = kIconSize;
  icon.height = kIconSize;
  for (int y = 0; y < kIconSize; ++y) {
    for (int x = 0; x < kIconSize; ++x) {
      std::uint16_t colour = 0;
      const bool drawn =
          painter(static_cast<float>(x) + 0.5F, static_cast<float>(y) + 0.5F, colour);
      icon.pixels.push_back(colour);
      icon.opaque.push_back(drawn);
    }
  }
  return icon;
}

float DistanceToSegment(float x, float y, float x0, float y0, float x1, float y1) {
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  float t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy);
  t = std::fmax(0.0F, std::fmin(1.0F, t));
  return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
}

// A disc with a dark rim and a white sign on it.
platform::IconImage Badge(std::uint16_t face, const std::function<bool(float, float)>& sign) {
  return PaintIcon([&](float x, float y, std::uint16_t& colour) {
    const float radius = std::hypot(x - 16.0F, y - 16.0F);
    if (radius > 15.0F) {
      return false;
    }
    colour = radius > 13.5F ? Rgb565(32, 32, 32) : sign(x, y) ? Rgb565(255, 255, 255) : face;
    return true;
  });
}

platform::IconImage PassIcon() {
  return Badge(Rgb565(0, 160, 0), [](float x, float y) {
    return DistanceToSegment(x, y, 8.5F, 16.5F, 13.5F, 22.0F) < 2.2F ||
           DistanceToSegment(x, y, 13.5F, 22.0F, 23.5F, 10.0F) < 2.2F;
  });
}

platform::IconImage ProblemIcon() {
  return Badge(Rgb565(208, 0, 0), [](float x, float y) {
    const bool bar = x > 14.0F && x < 18.0F && y > 6.0F && y < 19.0F;
    const bool dot = std::hypot(x - 16.0F, y - 23.5F) < 2.2F;
    return bar || dot;
  });
}

// A tank seen from the side on a sky-blue tile: tracks, hull, turret and gun.
platform::IconImage ProgramIcon() {
  return PaintIcon([](float x, float y, std::uint16_t& colour) {
    const std::uint16_t olive = Rgb565(72, 96, 40);
    const bool tracks = y > 21.0F && y < 27.0F && x > 4.0F && x < 28.0F;
    const bool hull = y > 16.0F && y <= 21.0F && x > 6.0F && x < 26.0F;
    const bool turret = y > 11.0F && y <= 16.0F && x > 11.0F && x < 21.0F;
    const bool gun = y > 12.5F && y < 14.5F && x >= 21.0F && x < 30.0F;
    if (tracks) {
      colour = Rgb565(40, 40, 40);
    } else if (hull || turret || gun) {
      colour = olive;
    } else {
      colour = Rgb565(96, 160, 224);
    }
    return x > 1.0F && x < 31.0F && y > 1.0F && y < 31.0F;
  });
}

}  // namespace

std::span<const DialogControlTemplate> SystemCheckControls() { return kControls; }

void RegisterProbexResources() {
  platform::RegisterDialogTemplate(kSystemCheckDialog, kSystemCheck);
  platform::RegisterIconImage(kProgramIcon, ProgramIcon());
  platform::RegisterIconImage(kPassIcon, PassIcon());
  platform::RegisterIconImage(kProblemIcon, ProblemIcon());
}
