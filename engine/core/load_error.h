// The first error of the last world-file load into a world, kept for the caller beside the
// parser's message boxes.
// Results: a record only, read through r3xGetLoadError.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t R3X_LOAD_ERROR_FILE_SIZE = 261;
inline constexpr std::uint32_t R3X_LOAD_ERROR_TEXT_SIZE = 256;

struct R3xLoadError {
  // Non-zero once an error is recorded.
  std::int32_t recorded;
  // The line in that file, 0 when the error is not at a line (the file could not be opened).
  std::int32_t line;
  // The file that was being read: the file being parsed (an include file too), else the file
  // the load was asked for. Cut to fit, always terminated.
  char file[R3X_LOAD_ERROR_FILE_SIZE];
  // The message as the parser states it, without file and line.
  char text[R3X_LOAD_ERROR_TEXT_SIZE];
};
