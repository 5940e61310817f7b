// Scrambling names and strings of binary and precompiled world files with the world string key.
// Results: nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/world/binary_world_format.h"

// XORs byte i with key byte i mod 8, starting at key byte 0; doing it twice gives the bytes back,
// so it both scrambles and unscrambles.
void _r3xApplyWorldStringKey(std::uint8_t* bytes, std::size_t count);
