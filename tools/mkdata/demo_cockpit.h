// The cockpit's pictures, the members of "game.r3x": the cockpit picture with the recesses its
// panels sit in, the radar scopes, crosshairs by weapon, compass strips, gauges and the strips of
// frames the gauges pick from (shields, armor, turret, pitch, throttle, rocket bar), the message
// box and the small screen's variants, at the sizes and frame layouts the cockpit's slots use.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/mkdata/bmp_writer.h"

namespace mkdata {

// Crosshair rows, one a weapon kind, each a ready and a just-fired column.
inline constexpr int kCrosshairRows = 8;

std::vector<std::pair<std::string, BmpImage>> MakeCockpitImages();

}  // namespace mkdata
