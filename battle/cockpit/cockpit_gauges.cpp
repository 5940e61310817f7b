#include "battle/cockpit/cockpit_gauges.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "battle/ui/panel.h"

namespace {

constexpr int kArmorFrames = 5;
constexpr int kCritsRows = 5;
constexpr int kSwivelColumns = 12;
constexpr int kShieldLevels = 5;

}  // namespace

int ArmorFrame(int armor, int maximum) {
  if (maximum <= 0) {
    return 0;
  }
  const int percent = armor * 100 / maximum;
  return std::clamp((-percent - 24) / 25 + 4, 0, kArmorFrames - 1);
}

int CritsRow(int crits, int maximum) {
  if (maximum <= 0) {
    return 0;
  }
  int row = (crits * 100 / maximum + 19) / 20;
  if (row > 0) {
    --row;
  }
  return std::clamp(row, 0, kCritsRows - 1);
}

int SwivelColumn(float swivel) {
  const int column = static_cast<int>((533.3333333333334 - swivel) * 0.0234375) % kSwivelColumns;
  return column < 0 ? column + kSwivelColumns : column;
}

int ShieldFrame(int level) { return kShieldLevels - std::clamp(level, 0, kShieldLevels); }

std::pair<int, int> ThrottleRows(int throttle, int height) {
  const int middle = height / 2;
  int first = middle - 1;
  int last = middle + 1;
  int lit = std::abs(throttle) * middle / 100;
  if (throttle != 0 && lit < 5) {
    lit = 4;
  }
  lit = std::min(lit, middle);
  if (throttle > 0) {
    first = middle - lit;
  } else if (throttle < 0) {
    last = std::min(middle + lit, height);
  }
  return {first, last};
}

std::pair<int, int> FlowColumns(int flow, int width) {
  const int middle = width / 2;
  int lit = std::min(std::abs(flow), 100) * middle / 100;
  if (flow != 0 && lit < 1) {
    lit = 1;
  }
  if (flow > 0) {
    return {middle, middle + lit};
  }
  if (flow < 0) {
    return {middle - lit, middle + 1};
  }
  return {middle, middle + 1};
}

std::string FormatTargetFigures(int range, int bounty) {
  char text[64];
  std::snprintf(text, sizeof text,
                bounty > 99999 ? "\afRange %d\nBnty %d" : "\afRange %d\nBounty %d", range, bounty);
  return text;
}

void UpdateRocketBar(CPanel& bar, int fullHeight, float fuel, float fuelMaximum) {
  // The original divided by the maximum as it was: 0 gave an endless bar.
  if (!(fuel > 0.0f) || !(fuelMaximum > 0.0f)) {
    return;
  }
  const float scaled = static_cast<float>(fullHeight) / fuelMaximum * fuel;
  const int height = std::clamp(static_cast<int>(std::min(scaled, 1.0e6f)), 0, fullHeight);
  RECT source = bar.source();
  source.bottom = source.top + height;
  bar.SetSource(source);
  RECT destination = bar.destination();
  destination.top = destination.bottom - height;
  bar.SetDestination(destination);
}
