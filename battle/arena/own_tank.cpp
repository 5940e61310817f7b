#include "battle/arena/own_tank.h"

std::uint32_t gOwnTankId = 0;
