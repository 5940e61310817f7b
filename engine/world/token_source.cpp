#include "engine/world/token_source.h"

#include <climits>

#include "engine/core/memory.h"
#include "engine/core/string_copy.h"
#include "engine/world/ascii_scanner.h"
#include "engine/world/binary_scanner.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_result.h"
#include "engine/world/world_stream.h"
#include "platform/kernel/environment.h"
#include "platform/kernel/search_path.h"

namespace {

// The binary scanner for a binary file (the stream after its signature), else the text scanner
// from the stream's first byte. The scanners report their own allocation failures.
R3xScanner* createScannerOfForm(R3xParseContext* context, R3xWorldStream* stream,
                                std::int32_t form) {
  if (form == PAR_WORLD_BINARY) {
    return parCreateBinaryScanner(context, stream);
  }
  parIsAsciiWorldFile(stream);
  return parCreateAsciiScanner(context, stream);
}

// An include file or a stream handed over unread: binary or text by its signature.
std::int32_t binaryOrText(R3xWorldStream* stream) {
  return parIsBinaryWorldFile(stream) == PAR_FORM_MATCHES ? PAR_WORLD_BINARY : PAR_WORLD_TEXT;
}

void closeIncludeFile(R3xScanner* scanner) {
  parCloseStream(scanner->stream);
  parFreeStream(scanner->stream);
  scanner->destroy(scanner);
}

// The include file along the search path, or null. A full name too long for the platform's
// path buffer is not found.
R3xWorldStream* searchIncludeFile(const char* path, const char* name) {
  char found[PATH_MAX];
  const DWORD length = SearchPathA(path, name, nullptr, sizeof found, found, nullptr);
  if (length == 0 || length >= sizeof found) {
    return nullptr;
  }
  return parOpenStream(found, nullptr);
}

}  // namespace

R3xTokenSource* parCreateTokenSource(R3xParseContext* context, R3xWorldStream* stream,
                                     const char* path) {
  return parCreateTokenSourceOfForm(context, stream, path, binaryOrText(stream));
}

R3xTokenSource* parCreateTokenSourceOfForm(R3xParseContext* context, R3xWorldStream* stream,
                                           const char* path, std::int32_t form) {
  auto* source = static_cast<R3xTokenSource*>(r3xMalloc(sizeof(R3xTokenSource)));
  if (source == nullptr) {
    parError(context, "out of memory");
    return nullptr;
  }
  source->nextToken = parNextToken;
  source->pushInclude = parPushIncludeFile;
  source->context = context;
  source->top = createScannerOfForm(context, stream, form);
  if (source->top == nullptr) {
    r3xFree(source);
    return nullptr;
  }
  char value[R3X_WLDPATH_SIZE] = {};
  if (path == nullptr) {
    // A value too long for the buffer leaves it empty.
    GetEnvironmentVariableA("WLDPATH", value, sizeof value);
    path = value;
  }
  if (*path != '\0') {
    // Without memory for the copy the parse goes on without a search path.
    source->path = _r3xCopyString(path);
  }
  return source;
}

void parDestroyTokenSource(R3xTokenSource* source) {
  if (source == nullptr) {
    return;
  }
  while (source->top != nullptr) {
    R3xScanner* scanner = source->top;
    source->top = scanner->includer;
    if (scanner->includer != nullptr) {
      closeIncludeFile(scanner);
    } else {
      scanner->destroy(scanner);
    }
  }
  r3xFree(source->path);
  r3xFree(source);
}

std::int32_t parNextToken(R3xTokenSource* source) {
  for (;;) {
    const std::int32_t token = source->top->nextToken(source->top);
    if (token > 0) {
      return token;
    }
    R3xScanner* finished = source->top;
    if (finished->includer == nullptr) {
      return 0;
    }
    source->top = finished->includer;
    --source->includeDepth;
    closeIncludeFile(finished);
  }
}

std::int32_t parPushIncludeFile(R3xTokenSource* source, const char* name) {
  R3xParseContext* context = source->context;
  if (source->includeDepth >= R3X_MAX_INCLUDE_DEPTH) {
    parError(context, "include files nested more than %d deep: %s", R3X_MAX_INCLUDE_DEPTH, name);
    return PAR_STOP;
  }
  R3xWorldStream* stream = parOpenStream(name, context->archive);
  // An archive's include files come only from the archive.
  if (stream == nullptr && context->archive == nullptr && source->path != nullptr) {
    stream = searchIncludeFile(source->path, name);
  }
  if (stream == nullptr) {
    parError(context, "could not open include file: %s", name);
    return PAR_STOP;
  }
  R3xScanner* scanner = createScannerOfForm(context, stream, binaryOrText(stream));
  if (scanner == nullptr) {
    parCloseStream(stream);
    parFreeStream(stream);
    return PAR_STOP;
  }
  scanner->includer = source->top;
  source->top = scanner;
  ++source->includeDepth;
  return 0;
}

R3xWorldStream* parCurrentStream(const R3xTokenSource* source) { return source->top->stream; }

std::int32_t parCurrentLine(const R3xTokenSource* source) { return source->top->line; }
