// What a tank's move meets besides the world: the mines and the other tanks, gathered for the
// shared mover at each move.
#pragma once

#include "battle/arena/mover.h"

// The mines (each mine's actor at its position) and the tanks (CollectTankNeighbours).
MoverNeighbours CollectArenaNeighbours();
