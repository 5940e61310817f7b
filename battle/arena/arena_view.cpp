#include "battle/arena/arena_view.h"

ArenaView gArenaView;
