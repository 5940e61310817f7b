#include "battle/arena/arena_world.h"

ArenaWorld gArenaWorld;
