// The one token stream of a parse: the scanners of the outermost world file and of its nested
// include files, the innermost on top, and the search path for include files.
// Results: token numbers (R3X_TOKEN_END, R3X_TOKEN_ERROR); 0 or PAR_STOP; a source or null.
#pragma once

#include <cstdint>

#include "engine/world/scanner.h"

struct R3xTokenSource;

// Include files open at once inside the outermost file; one more fails the load, so a file
// that includes itself is reported instead of exhausting memory.
inline constexpr std::int32_t R3X_MAX_INCLUDE_DEPTH = 32;
// The buffer WLDPATH is read into: a longer value gives no search path.
inline constexpr std::uint32_t R3X_WLDPATH_SIZE = 261;

using R3xNextTokenFn = std::int32_t (*)(R3xTokenSource* source);
using R3xPushIncludeFn = std::int32_t (*)(R3xTokenSource* source, const char* name);

struct R3xTokenSource {
  // parNextToken: the parser reads its tokens through this.
  R3xNextTokenFn nextToken;
  // parPushIncludeFile: the INCLUDE statement opens its file through this.
  R3xPushIncludeFn pushInclude;
  R3xParseContext* context;
  // The innermost open file's scanner; its includer links lead out to the outermost.
  R3xScanner* top;
  // Owned copy of the include search path, or null.
  char* path;
  // Include files open above the outermost file.
  std::int32_t includeDepth;
};

// A token source over the stream, with the binary or the text scanner as its signature says.
// The search path is the one given, else the value of WLDPATH; folders are separated by ':' or
// ';'. Null after a reported error; the stream stays open either way.
R3xTokenSource* parCreateTokenSource(R3xParseContext* context, R3xWorldStream* stream,
                                     const char* path);
// The same for a stream whose form parSniffWorldForm has told already (and left it where it
// leaves it): a binary file gets the binary scanner, any other the text scanner.
R3xTokenSource* parCreateTokenSourceOfForm(R3xParseContext* context, R3xWorldStream* stream,
                                           const char* path, std::int32_t form);
// Closes and frees the streams of open include files and destroys every scanner; the outermost
// stream stays open for whoever opened it. Null is allowed.
void parDestroyTokenSource(R3xTokenSource* source);
// The next token (positive), or 0 at the end of the outermost file. The end of an include
// file, or an abort code of its scanner, continues in the file that included it.
std::int32_t parNextToken(R3xTokenSource* source);
// Opens an include file: from the parse's archive when it has one (and only there), else by
// its name from the working folder and then along the search path. 0 when its scanner is on
// top, PAR_STOP after a reported error.
std::int32_t parPushIncludeFile(R3xTokenSource* source, const char* name);
// The innermost open file and its line, for messages.
R3xWorldStream* parCurrentStream(const R3xTokenSource* source);
std::int32_t parCurrentLine(const R3xTokenSource* source);
