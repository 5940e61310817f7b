#include "battle/core/frame_time.h"

std::uint32_t gFrameTime = 0;
