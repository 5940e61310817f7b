#include "battle/screens/design_gauges.h"

#include <algorithm>
#include <cstdint>

int BatteryGaugeLeft(int width, int charge, int size) {
  // The original divided by the size as it was and could move the window off the bitmap.
  if (size <= 0) {
    return width;
  }
  const std::int64_t shown = static_cast<std::int64_t>(width) * charge / size;
  return width - static_cast<int>(std::clamp<std::int64_t>(shown, 0, width));
}

int DamagePictureLeft(int width, int points, int maximum) {
  constexpr int kEmptyFrame = 4;
  if (maximum <= 0) {
    return kEmptyFrame * width;
  }
  const std::int64_t percent = std::int64_t{100} * points / maximum;
  const std::int64_t frame = kEmptyFrame - (percent + 24) / 25;
  return static_cast<int>(std::clamp<std::int64_t>(frame, 0, kEmptyFrame)) * width;
}
