// The texts the design screen draws into its background each frame: the list headings, the
// chassis's figures and specials, its name, and the current configuration.
#include <array>
#include <string>

#include "battle/core/game_params.h"
#include "battle/screens/design_screen.h"
#include "battle/ui/ui_toolkit.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGreen = 0x00FF00;
constexpr int kLeft = 0;
constexpr int kCentred = 1;
constexpr int kRight = 2;
constexpr int kRowHeight = 13;
constexpr int kLineHeight = 12;
constexpr int kLabelWidth = 60;
constexpr int kFigureWidth = 16;

struct Figure {
  const char* label;
  int labelX;
  int valueX;
  int y;
  std::size_t ChassisEntry::*row;
};

constexpr std::array<Figure, 6> kFigures = {{
    {"Forward:", 242, 302, 147, &ChassisEntry::forwardRow},
    {"Reverse:", 328, 388, 147, &ChassisEntry::reverseRow},
    {"Turret Radius:", 242, 302, 158, &ChassisEntry::turretRow},
    {"Armor:", 328, 388, 158, &ChassisEntry::armorRow},
    {"Criticals:", 242, 302, 169, &ChassisEntry::criticalsRow},
    {"Battery Size:", 328, 388, 169, &ChassisEntry::batteryRow},
}};

constexpr std::array<int, 2> kSpecialLines = {180, 191};

}  // namespace

void CDesignScreen::DrawTexts() {
  DrawUiText(33, 37, 102, kRowHeight, kWhite, "Module", kLeft);
  DrawUiText(135, 37, 37, kRowHeight, kWhite, "Bays", kLeft);
  DrawUiText(33, 50, 139, kRowHeight, kWhite, "-----------------------------------", kLeft);

  const ChassisEntry& chassis = kChassisCatalogue[static_cast<std::size_t>(chassis_)];
  for (const Figure& figure : kFigures) {
    DrawUiSmallText(figure.labelX, figure.y, kLabelWidth, kLineHeight, kGreen, figure.label, kLeft);
    const std::string value = std::to_string(GetGameParamInt(chassis.*figure.row));
    DrawUiSmallText(figure.valueX, figure.y, kFigureWidth, kLineHeight, kWhite, value.c_str(),
                    kRight);
  }

  std::array<const char*, 2> specials{};
  std::size_t count = 0;
  if (const int builtIn = BuiltInWeaponSlot(); builtIn >= 0) {
    specials[count++] = kModuleCatalogue[static_cast<std::size_t>(builtIn)].name;
  }
  if (chassis_ == kStealthChassis) {
    specials[count++] = "Integrated Cloak & Stealth";
  } else if (chassis_ == 4) {
    specials[count++] = "Silent DriveTrain";
  }
  for (std::size_t line = 0; line < kSpecialLines.size(); ++line) {
    const bool used = line < count;
    DrawUiSmallText(242, kSpecialLines[line], kLabelWidth, kLineHeight, kGreen,
                    used ? "Special:" : "", kLeft);
    DrawUiSmallText(280, kSpecialLines[line], 124, kLineHeight, kWhite, used ? specials[line] : "",
                    kLeft);
  }

  DrawUiText(242, 134, 172, kRowHeight, kGreen, chassis.name, kCentred);
  DrawUiText(472, 63, 48, kRowHeight, kWhite, "Config:", kLeft);
  // Without a current configuration the original printed the character before "A".
  const std::string configuration =
      currentConfiguration_ >= 0 ? std::string(1, static_cast<char>('A' + currentConfiguration_))
                                 : std::string();
  DrawUiText(520, 63, 92, kRowHeight, kGreen, configuration.c_str(), kLeft);
  DrawUiText(472, 76, 48, kRowHeight, kWhite, "Chassis:", kLeft);
  DrawUiText(520, 76, 92, kRowHeight, kGreen, chassis.name, kLeft);
}
