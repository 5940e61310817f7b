// Framing a 3D frame on the Glide back end: clearing the colour and depth buffers, table fog and
// showing the finished frame.
// Results: 0.
#pragma once

#include <cstdint>

struct R3xGlideContext;

// Clears the colour buffer to the colour and/or the depth buffer to the farthest depth. A
// depth clear leaves W-buffering with depth writes on; a colour-only clear leaves depth writes
// off. 0.
std::int32_t r3xGlideClear(R3xGlideContext* context, std::int32_t clearColour,
                           std::int32_t clearDepth, std::uint8_t red, std::uint8_t green,
                           std::uint8_t blue);
// Waits while more than two swaps are pending, draws the statistics overlay when the context
// has it switched on, and swaps with the interval. 0.
std::int32_t r3xGlidePresent(R3xGlideContext* context, std::int32_t swapInterval);
// Table fog of the colour, its ramp scaled by level / 256; off (table and colour kept) when on
// or level is 0. 0.
std::int32_t r3xGlideSetFog(R3xGlideContext* context, std::int32_t on, std::int32_t level,
                            std::uint8_t red, std::uint8_t green, std::uint8_t blue);
