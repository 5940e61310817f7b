// The engine's own functions of obstacle.h, which the public header leaves out.
// Results: nothing.
#pragma once

#include "engine/core/obstacle.h"

// Frees the list with everything its obstacles own. Null allowed.
void _r3xFreeObstacleList(R3xObstacleList* list);
