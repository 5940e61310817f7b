#include "battle/arena/arena_tools.h"

ArenaTools gArenaTools;
