// The scanner of the binary form of world files (binary_world_format.h): each token read back
// from its code and its value, names and strings unscrambled.
// Results: R3X_TOKEN_ numbers (END, ERROR); reads: 0 or PAR_STOP; scanners or null.
#pragma once

#include <cstdint>

#include "engine/world/binary_world_format.h"
#include "engine/world/scanner.h"

struct R3xTokenValue;

// Input is read in blocks of this size: most tokens are a few bytes.
inline constexpr std::uint32_t R3X_BINARY_READ_SIZE = 4096;

// Its line stays 0, so messages name only the file.
struct R3xBinaryScanner {
  R3xScanner head;
  // Unread input lies in [next, end).
  std::uint32_t next;
  std::uint32_t end;
  std::uint8_t input[R3X_BINARY_READ_SIZE];
};

// Null after reporting "out of memory".
R3xScanner* parCreateBinaryScanner(R3xParseContext* context, R3xWorldStream* stream);
void parDestroyBinaryScanner(R3xScanner* scanner);
// A token number, R3X_TOKEN_END at the end (code 3 or no byte left), or R3X_TOKEN_ERROR after an
// error.
std::int32_t parBinaryScannerNextToken(R3xScanner* scanner);
// Reads a length of lengthWidth bytes (1, or 2 high byte first) and that many scrambled bytes
// into an owned text value: 0 on success, PAR_STOP on failure.
std::int32_t parBinaryReadScrambledString(R3xScanner* scanner, R3xTokenValue* destination,
                                          std::int32_t lengthWidth);
// Reads exactly count bytes: 0, or PAR_STOP after reporting a short or failed read.
std::int32_t parBinaryReadExact(R3xScanner* scanner, void* buffer, std::int32_t count);
