// The binary form of world files: each token as a one- or two-byte code and its value in
// binary, names and strings scrambled with the world string key.
#pragma once

#include <cstdint>

#include "engine/world/scanner.h"

struct R3xTokenValue;

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

// The scanner record is the head alone; its line stays 0, so messages name only the file.
// Null after reporting "out of memory".
R3xScanner* parCreateBinaryScanner(R3xParseContext* context, R3xWorldStream* stream);
void parDestroyBinaryScanner(R3xScanner* scanner);
// A token number, 0 at the end (code 3 or no byte left), or 1 after an error.
std::int32_t parBinaryScannerNextToken(R3xScanner* scanner);
// Reads a length of lengthWidth bytes (1, or 2 high byte first) and that many scrambled bytes
// into an owned text value: 0 on success, 1 on failure.
std::int32_t parBinaryReadScrambledString(R3xScanner* scanner, R3xTokenValue* destination,
                                          std::int32_t lengthWidth);
// Reads exactly count bytes: 0, or 1 after reporting a short or failed read.
std::int32_t parBinaryReadExact(R3xScanner* scanner, void* buffer, std::int32_t count);
