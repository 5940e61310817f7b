// The head that every world-file scanner record starts with: the token source drives the
// scanners of nested include files only through it.
// Results: token numbers (R3X_TOKEN_END, R3X_TOKEN_ERROR).
#pragma once

#include <cstdint>

struct R3xScanner;
struct R3xWorldStream;
struct R3xParseContext;

// A token number (positive), 0 at the end of the file's tokens, R3X_TOKEN_ERROR after a reported
// error, or a negative abort code that ends the file.
using R3xScannerNextTokenFn = std::int32_t (*)(R3xScanner* scanner);
// Frees the scanner record; its stream is left alone.
using R3xScannerDestroyFn = void (*)(R3xScanner* scanner);

struct R3xScanner {
  R3xScannerNextTokenFn nextToken;
  R3xScannerDestroyFn destroy;
  // The scanner of the file that included this one; null for the outermost file.
  R3xScanner* includer;
  R3xWorldStream* stream;
  // Current line, or 0 for a form without lines.
  std::int32_t line;
  R3xParseContext* context;
};
