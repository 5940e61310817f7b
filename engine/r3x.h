// The 3D engine's public interface: what the game and the tools call, and the world-file
// vocabulary the data tools write, in four parts (r3x_core.h, r3x_world.h, r3x_collide.h,
// r3x_display.h) that the game includes one by one; the tools include all of them here. The
// engine's own `_r3x` functions stay in folder-private headers (engine/*/..._internal.h and the
// headers this one leaves out); scripts/check-layers.py keeps them out of everything included here.
#pragma once

#include "engine/r3x_collide.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"
#include "engine/r3x_world.h"
