// The demo arena's height map, made to match data/demo/arena.wld: open ground at z = 0 up to the
// walls' height inside the world's 400 x 400 square, solid everywhere else, the ramp of its
// sloped triangle and the cell of its post raised to the post's top.
#pragma once

#include "tools/mkdata/arena_map_writer.h"

namespace mkdata {

AmpMap BuildDemoArenaMap();

}  // namespace mkdata
