// The sky dome's colours: for each time-of-day step, 17 colours from the top of the dome
// (entry 0) down to the horizon (entry 16).
#pragma once

#include <array>
#include <cstdint>

#include "battle/effects/ambient_table.h"

struct SkyColour {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  friend constexpr bool operator==(const SkyColour&, const SkyColour&) = default;
};

inline constexpr int kSkyGradientEntries = 17;
using SkyGradientRow = std::array<SkyColour, kSkyGradientEntries>;

namespace sky_gradient_detail {

// Every row is drawn from its entries 0, 4, 8, 12 and 16 (RRGGBB); four rows are drawn in full.
inline constexpr int kKeysPerRow = 5;
inline constexpr int kKeySpacing = 4;
inline constexpr std::array<std::array<std::uint32_t, kKeysPerRow>, kTimeOfDaySteps> kKeys{{
    {0x5B67CB, 0xA363C3, 0xB76397, 0xCA5F4B, 0xE65517},
    {0x5F6FCB, 0x9F63C3, 0xBF6397, 0xCF5357, 0xE75333},
    {0x637BCF, 0x9763C7, 0xC363A7, 0xCF5F73, 0xE74747},
    {0x6783D3, 0x835FD3, 0xC35BD3, 0xD35B9B, 0xD75767},
    {0x6B8FD7, 0x836BE3, 0xBB5FDF, 0xE75BC3, 0xEB578B},
    {0x6F9BDB, 0x7777EB, 0xAF67E3, 0xEB63E3, 0xEF63B3},
    {0x73A3DB, 0x737BE7, 0x9F6FE3, 0xD76FEB, 0xEF6FD7},
    {0x7BAFDF, 0x7B8FEB, 0x977BE7, 0xC77FEF, 0xEB7FF3},
    {0x7FB7E3, 0x8397E7, 0x8F87EB, 0xB78BEF, 0xD38FF3},
    {0x83BFE7, 0x8BA7E7, 0x8F93EB, 0xAF97EF, 0xC79FF3},
    {0x8BCBE7, 0x93BBEB, 0x9BAFEF, 0xABA7F3, 0xBFAFF7},
    {0x8FD3EB, 0x9BC7EB, 0xA7BFEF, 0xB7BFF3, 0xBFBFF7},
    {0x93DBEF, 0x9FD3EF, 0xAFD3F3, 0xBFD3F7, 0xCBD7FB},
    {0x97E7F3, 0xA7E3F3, 0xBBE3F7, 0xCBE3F7, 0xDBEBFB},
    {0x9FEFF7, 0xB3EFF7, 0xC7EFFB, 0xDBF3FB, 0xEFFBFF},
    {0x97E7F3, 0xA7E3F3, 0xBBE3F7, 0xCBE3F7, 0xDBEBFB},
    {0x87CFE7, 0x97CBE7, 0xABCBEB, 0xBBCFEF, 0xCBD7F3},
    {0x77B3DB, 0x87AFDF, 0x9BB3E3, 0xABB7EB, 0xBBBFEF},
    {0x6B9BCF, 0x7797D3, 0x8B9BDB, 0x9B9FE3, 0xAFABEB},
    {0x5F7FC7, 0x6B7BCF, 0x7F7BD7, 0x9F8FDF, 0xB39BE7},
    {0x5367BB, 0x6363C3, 0x7F6FCF, 0x9F7FDB, 0xB78FE3},
    {0x474BAF, 0x6353BB, 0x8363C7, 0xA773D3, 0xBF7FDF},
    {0x473BA3, 0x6747AF, 0x8B57BF, 0xAF67CB, 0xCB73D7},
    {0x4B339B, 0x6F3FA7, 0x934BB7, 0xBB5BC7, 0xD367CB},
    {0x4F2B8F, 0x73339F, 0x9F3FAF, 0xBF4BB7, 0xCF57AF},
    {0x532383, 0x7B2B93, 0xA737A7, 0xBB439B, 0xCB4B8F},
    {0x571B7B, 0x83238F, 0xA32F8F, 0xB7377B, 0xC7436F},
    {0x5B136F, 0x831B7B, 0x9B236F, 0xAF2F5B, 0xC3374B},
    {0x5B0F63, 0x7B1367, 0x931B57, 0xAB2743, 0xBF2F2F},
    {0x570B57, 0x6F0F53, 0x8B173F, 0xA71B23, 0xBB3F23},
    {0x4F0743, 0x6B0F47, 0x871B43, 0xA31B1F, 0xB74F1B},
    {0x4B0743, 0x630B3F, 0x7F0F33, 0x9B1317, 0xAF2F17},
    {0x470747, 0x5F0747, 0x770B3F, 0x930F2B, 0xA71313},
    {0x430743, 0x5B0747, 0x730B47, 0x8B0F37, 0x9F132B},
    {0x370043, 0x570053, 0x6F074F, 0x830B47, 0x970F3B},
    {0x2F003F, 0x4F0053, 0x6B005B, 0x7F0757, 0x930B4F},
    {0x27003B, 0x43004F, 0x630063, 0x7B0763, 0x8B0B5F},
    {0x23003B, 0x3B004B, 0x57005F, 0x73076F, 0x83076F},
    {0x1B0037, 0x2B0047, 0x43005B, 0x5F076B, 0x7B077B},
    {0x170033, 0x270043, 0x370057, 0x4F0767, 0x630777},
    {0x0F002F, 0x1B003F, 0x27004F, 0x3B005F, 0x4B006F},
    {0x0B002F, 0x13003B, 0x1B004B, 0x27005B, 0x330067},
    {0x07002B, 0x0B0037, 0x0F0047, 0x170053, 0x1F005F},
    {0x000027, 0x000033, 0x07003F, 0x0B004B, 0x0F0057},
    {0x000027, 0x000033, 0x00003B, 0x000047, 0x000053},
    {0x000027, 0x000033, 0x00073F, 0x000F4B, 0x001757},
    {0x070033, 0x13003B, 0x1F0743, 0x330B4B, 0x3F1353},
    {0x0F0B37, 0x1F0B3F, 0x330F47, 0x4B0F53, 0x5B1353},
    {0x171337, 0x2F1347, 0x531757, 0x67174F, 0x77173B},
    {0x2B2347, 0x47235B, 0x6F236F, 0x871B5B, 0x97173B},
    {0x2B2347, 0x47235B, 0x732773, 0x8B1F57, 0x9F1733},
    {0x2F2753, 0x4F2767, 0x7B2B77, 0x8F1F53, 0xA7172F},
    {0x332F63, 0x572B77, 0x83337B, 0x972753, 0xAF1727},
    {0x373373, 0x5F2F83, 0x8B377F, 0x9F2B4B, 0xB7171F},
    {0x3B377F, 0x672F8F, 0x973387, 0xA72F4B, 0xBF1B17},
    {0x3F3F8F, 0x6F379B, 0x9B3B8B, 0xAF3347, 0xC72317},
    {0x43479F, 0x7337A7, 0xA33F8B, 0xB73B43, 0xCF2F17},
    {0x474FAB, 0x7B3BB7, 0xAB4B8F, 0xBB3F3F, 0xD73B17},
    {0x4B5BBB, 0x8747C3, 0xB74F97, 0xC34F43, 0xDF4717},
    {0x4F67CB, 0xA363C3, 0xB76397, 0xCA5F4B, 0xE65517},
}};

struct FullRow {
  int step;
  std::array<std::uint32_t, kSkyGradientEntries> colours;
};

// The rows of full day, the middle of dusk, full night and the end of dawn, drawn entry by entry.
inline constexpr std::array<FullRow, 4> kFullRows{{
    {kFullDayStep,
     {0x9FEFF7, 0xA3EFF7, 0xA7EFF7, 0xAFEFF7, 0xB3EFF7, 0xB7EFF7, 0xBFEFF7, 0xC3EFFB, 0xC7EFFB,
      0xCFF3FB, 0xD3F3FB, 0xD7F3FB, 0xDBF3FB, 0xE3F7FB, 0xE7F7FB, 0xEFFBFF, 0xEFFBFF}},
    {29,
     {0x570B57, 0x5B0B57, 0x630B53, 0x6B0F53, 0x6F0F53, 0x770F4F, 0x7F134B, 0x831347, 0x8B173F,
      0x93173B, 0x971733, 0x9F1B2B, 0xA71B23, 0xAB231F, 0xB32F1F, 0xBB3F23, 0xBB3F23}},
    {kFullNightStep,
     {0x000027, 0x000027, 0x00002B, 0x00002F, 0x000033, 0x000033, 0x000037, 0x00003B, 0x00003B,
      0x00003F, 0x000043, 0x000047, 0x000047, 0x00004B, 0x00004F, 0x000053, 0x000053}},
    {59,
     {0x4F67CB, 0x635FD3, 0x7B5FCF, 0x9363C7, 0xA363C3, 0xB367BB, 0xB767AB, 0xB3679B, 0xB76397,
      0xB7677B, 0xBA6569, 0xC2625A, 0xCA5F4B, 0xD25C3C, 0xDA592D, 0xE65517, 0xE65517}},
}};

// The first step of the dawn is its last row with another colour at the top of the dome.
inline constexpr int kDawnFirstStep = 0;
inline constexpr int kDawnLastStep = 59;

constexpr SkyColour Unpack(std::uint32_t rgb) {
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
          static_cast<std::uint8_t>(rgb)};
}

// Part k of `parts` of the way from a to b, rounded to the nearest level.
constexpr std::uint8_t Mix(std::uint8_t a, std::uint8_t b, int k, int parts) {
  return static_cast<std::uint8_t>((a * (parts - k) + b * k + parts / 2) / parts);
}

constexpr SkyColour MixColour(SkyColour a, SkyColour b, int k, int parts) {
  return {Mix(a.red, b.red, k, parts), Mix(a.green, b.green, k, parts),
          Mix(a.blue, b.blue, k, parts)};
}

// The entries between two given ones run in equal steps per channel from one to the next. The
// horizon band (entries 15 and 16) is one colour, so entries 13 and 14 share the way from entry
// 12 to entry 16 in thirds.
constexpr SkyGradientRow InterpolateRow(const std::array<std::uint32_t, kKeysPerRow>& keys) {
  SkyGradientRow row{};
  for (int key = 0; key + 1 < kKeysPerRow; ++key) {
    const SkyColour from = Unpack(keys[key]);
    const SkyColour to = Unpack(keys[key + 1]);
    const int parts = key + 2 == kKeysPerRow ? kKeySpacing - 1 : kKeySpacing;
    for (int k = 0; k < parts; ++k) {
      row[key * kKeySpacing + k] = MixColour(from, to, k, parts);
    }
  }
  row[kSkyGradientEntries - 2] = Unpack(keys[kKeysPerRow - 1]);
  row[kSkyGradientEntries - 1] = Unpack(keys[kKeysPerRow - 1]);
  return row;
}

constexpr std::array<SkyGradientRow, kTimeOfDaySteps> MakeTable() {
  std::array<SkyGradientRow, kTimeOfDaySteps> table{};
  for (int step = 0; step < kTimeOfDaySteps; ++step) {
    table[step] = InterpolateRow(kKeys[step]);
  }
  for (const FullRow& full : kFullRows) {
    for (int entry = 0; entry < kSkyGradientEntries; ++entry) {
      table[full.step][entry] = Unpack(full.colours[entry]);
    }
  }
  const SkyColour top = table[kDawnFirstStep][0];
  table[kDawnFirstStep] = table[kDawnLastStep];
  table[kDawnFirstStep][0] = top;
  return table;
}

// Each full row agrees with its given entries.
constexpr bool FullRowsMatchKeys() {
  for (const FullRow& full : kFullRows) {
    for (int key = 0; key < kKeysPerRow; ++key) {
      if (full.colours[key * kKeySpacing] != kKeys[full.step][key]) {
        return false;
      }
    }
  }
  return true;
}

static_assert(FullRowsMatchKeys());

}  // namespace sky_gradient_detail

inline constexpr std::array<SkyGradientRow, kTimeOfDaySteps> SkyGradientTable =
    sky_gradient_detail::MakeTable();

namespace sky_gradient_detail {

constexpr bool HorizonBandIsOneColour() {
  for (const SkyGradientRow& row : SkyGradientTable) {
    if (row[kSkyGradientEntries - 2] != row[kSkyGradientEntries - 1]) {
      return false;
    }
  }
  return true;
}

static_assert(HorizonBandIsOneColour());
// The hour after full day looks as the hour before it.
static_assert(SkyGradientTable[kFullDayStep + 1] == SkyGradientTable[kFullDayStep - 1]);

}  // namespace sky_gradient_detail
