// The 8-byte key that scrambles names and strings in binary and precompiled world files.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t R3X_WORLD_STRING_KEY[8] = {0x5a, 0x17, 0xc3, 0x8e,
                                                         0x21, 0xf4, 0x6b, 0x09};

// XORs byte i with key byte i mod 8, starting at key byte 0; doing it twice gives the bytes back,
// so it both scrambles and unscrambles.
void _r3xApplyWorldStringKey(std::uint8_t* bytes, std::size_t count);
