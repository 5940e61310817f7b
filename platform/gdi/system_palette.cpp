#include "platform/gdi/system_palette.h"

namespace platform {

namespace {

constexpr PALETTEENTRY kLowStatic[kStaticColourCount] = {
    {0, 0, 0, 0},     {128, 0, 0, 0},   {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
};

constexpr PALETTEENTRY kHighStatic[kStaticColourCount] = {
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},
    {0, 255, 0, 0},     {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},
    {0, 255, 255, 0},   {255, 255, 255, 0},
};

constexpr std::array<PALETTEENTRY, kSystemPaletteSize> BuildSystemPalette() {
  std::array<PALETTEENTRY, kSystemPaletteSize> entries{};
  for (int i = 0; i < kStaticColourCount; ++i) {
    entries[i] = kLowStatic[i];
    entries[kSystemPaletteSize - kStaticColourCount + i] = kHighStatic[i];
  }
  return entries;
}

constexpr std::array<PALETTEENTRY, kSystemPaletteSize> kSystemPalette = BuildSystemPalette();

}  // namespace

const std::array<PALETTEENTRY, kSystemPaletteSize>& SystemPalette() { return kSystemPalette; }

}  // namespace platform
