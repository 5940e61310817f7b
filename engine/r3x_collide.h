// The 3D engine's public interface, collide part: sweeps of actors and volumes through the world,
// their contacts and callbacks. Game code includes the parts it uses; engine/r3x.h includes them
// all.
#pragma once

#include "engine/collide/sweep.h"
