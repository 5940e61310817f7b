// What a tank's move meets besides the world: the flags, the mines and the other tanks, gathered
// for the shared mover at each move.
#pragma once

#include "battle/arena/mover.h"

// The flags and mines (each one's actor at its position) and the tanks (CollectTankNeighbours).
MoverNeighbours CollectArenaNeighbours();
