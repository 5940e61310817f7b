// The seven sky bitmaps of "Equip.r3x" and the sky state's field each one is drawn from, in the
// order the world start loads them.
#pragma once

#include <array>
#include <cstddef>

#include "battle/effects/sky_state.h"
#include "engine/r3x_core.h"

inline constexpr std::size_t kSkyBitmapCount = 7;
inline constexpr std::array<const char*, kSkyBitmapCount> kSkyBitmapNames = {
    "sky.bmp", "cloud.bmp", "ground.bmp", "sun.bmp", "moon.bmp", "lf_ring.bmp", "lf_disk.bmp"};
inline constexpr std::array<R3xBitmap * SkyState::*, kSkyBitmapCount> kSkyBitmapFields = {
    &SkyState::skyBitmap,      &SkyState::cloudBitmap, &SkyState::groundBitmap,
    &SkyState::sunBitmap,      &SkyState::moonBitmap,  &SkyState::flareRingBitmap,
    &SkyState::flareDiscBitmap};
