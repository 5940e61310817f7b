// The frame time in milliseconds: every game timer compares against it. Only the frame tick and
// the world start set it, from the process clock.
#pragma once

#include <cstdint>

extern std::uint32_t gFrameTime;
