// The demo's pictures of the vehicle design screen, the members of "Design.r3x": the background
// with the lists' panes, the buttons and arrows, the scroll bar's thumb and the gauges, each of
// the size its place on the screen gives, over the demo palette's colours.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/mkdata/bmp_writer.h"

namespace mkdata {

// Each bitmap with its file name: the background "vconfig.bmp", the chassis arrows, the scroll
// arrows in their two looks and the thumb, the done, apply and save buttons up and down, the
// configuration buttons, the battery gauge (full and empty side by side) and the armor and
// turret pictures (five frames side by side, the turret's see-through parts black).
std::vector<std::pair<std::string, BmpImage>> MakeDesignImages();

}  // namespace mkdata
