// The binary form of world files, as the engine reads it and the data tools write it: the
// signature, each token as a one- or two-byte code with its value in binary, and the key that
// scrambles names and strings.
// Results: constants only.
#pragma once

#include <cstdint>

// The signature at the start of a binary world file.
inline constexpr std::uint8_t R3X_WLD_MAGIC[6] = {0x02, 0x3D, 0x4B, 0x00, 0x46, 0x01};

// The 8-byte key that scrambles names and strings in binary and precompiled world files: byte i
// is XORed with key byte i mod 8.
inline constexpr std::uint8_t R3X_WORLD_STRING_KEY[8] = {0x5a, 0x17, 0xc3, 0x8e,
                                                         0x21, 0xf4, 0x6b, 0x09};

// Two-byte codes start with a byte of the top bit set: ((b0 & 0x7F) << 8) + b1.
inline constexpr std::uint8_t R3X_BINARY_TWO_BYTE_FLAG = 0x80;

// One-byte codes of tokens with values (others are the token itself).
inline constexpr std::uint8_t R3X_BINARY_END = 3;
inline constexpr std::uint8_t R3X_BINARY_NAME = 4;
inline constexpr std::uint8_t R3X_BINARY_INT8 = 8;
inline constexpr std::uint8_t R3X_BINARY_INT16 = 9;
inline constexpr std::uint8_t R3X_BINARY_INT32 = 10;
inline constexpr std::uint8_t R3X_BINARY_REAL = 12;
inline constexpr std::uint8_t R3X_BINARY_STRING = 16;
inline constexpr std::uint8_t R3X_BINARY_USER_DATA = 24;
// A 4-byte length field of which only the first byte counts, then the bytes unscrambled.
inline constexpr std::uint8_t R3X_BINARY_BLOCK = 28;
inline constexpr std::uint8_t R3X_BINARY_USERDEFINED = 110;
inline constexpr std::uint8_t R3X_BINARY_RENDER_METHOD16 = 111;
inline constexpr std::uint8_t R3X_BINARY_RENDER_METHOD32 = 112;
