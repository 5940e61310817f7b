// The text form of world files: keywords, names, numbers, quoted strings, render-method names
// and user data, turned into the tokens of the world-file language.
// Results: R3X_TOKEN_ numbers (END, ERROR), bytes or PAR_END_OF_INPUT, scanners or null.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/world/scanner.h"

// Modes: after RENDERMETHOD a render-method name is expected, after USERDATA user data.
inline constexpr std::uint32_t R3X_ASCII_MODE_NORMAL = 0;
inline constexpr std::uint32_t R3X_ASCII_MODE_USER_DATA = 4;
inline constexpr std::uint32_t R3X_ASCII_MODE_RENDER_METHOD = 8;

// Input is read in blocks of this size.
inline constexpr std::size_t R3X_ASCII_READ_SIZE = 8192;
// The longest match: one character more aborts the file.
inline constexpr std::size_t R3X_ASCII_TOKEN_SIZE = 1024;
// How far a match may look past its end (an exponent's E, sign and digit), plus one.
inline constexpr std::size_t R3X_ASCII_WINDOW = R3X_ASCII_TOKEN_SIZE + 4;

struct R3xAsciiScanner {
  R3xScanner head;
  std::uint32_t mode;
  // Set once the length run after USERDATA has been skipped.
  std::int32_t userDataSkipped;
  // Unread input lies in [next, end); at least a window of it whenever the stream has more.
  std::size_t next;
  std::size_t end;
  // The stream gave its last byte or failed.
  std::int32_t inputDone;
  std::uint8_t input[R3X_ASCII_WINDOW + R3X_ASCII_READ_SIZE];
};

// The scanner at line 1 in normal mode, or null after reporting "out of memory".
R3xScanner* parCreateAsciiScanner(R3xParseContext* context, R3xWorldStream* stream);
void parDestroyAsciiScanner(R3xScanner* scanner);
// A token number, 0 at the end of the data or at ENDFILE, R3X_TOKEN_ERROR after a reported error,
// or R3X_TOKEN_OVERFLOW after a match longer than R3X_ASCII_TOKEN_SIZE; the token's value goes into
// the context.
std::int32_t parAsciiScannerNextToken(R3xScanner* scanner);
// What parAsciiScannerInput gives at the end of the data or after a read error.
inline constexpr std::int32_t PAR_END_OF_INPUT = -1;

// The next input byte (0-255), or PAR_END_OF_INPUT.
std::int32_t parAsciiScannerInput(R3xAsciiScanner* scanner);
// The bytes of an even run of hex digits, high digit first, as a NUL-terminated block of
// length / 2 bytes whose size goes into *size; null after reporting the error.
char* parDecodeUserDataHex(R3xParseContext* context, const char* text, std::size_t length,
                           std::uint32_t* size);
