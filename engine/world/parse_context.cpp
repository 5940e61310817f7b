#include "engine/world/parse_context.h"

#include <cstdarg>
#include <cstdio>

#include "engine/core/memory.h"
#include "engine/core/world.h"
#include "engine/world/parser_message_box.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"

namespace {

constexpr int kMessageSize = 256;

// Texts longer than the buffer are cut: a message box shows at most 255 characters.
__attribute__((format(printf, 2, 3))) void formatText(char (&text)[kMessageSize],
                                                      const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
}

}  // namespace

R3xParseContext* parCreateContext(R3xWorld* world, R3xWad* archive) {
  auto* context = static_cast<R3xParseContext*>(r3xMalloc(sizeof(R3xParseContext)));
  if (context == nullptr) {
    parError(nullptr, "out of memory");
    return nullptr;
  }
  context->world = world;
  context->archive = archive;
  return context;
}

void parDestroyContext(R3xParseContext* context) {
  if (context == nullptr) {
    return;
  }
  parClearTokenValue(&context->tokenValue);
  r3xFree(context->spareObstacle);
  r3xFree(context);
}

void parError(R3xParseContext* context, const char* format, ...) {
  char message[kMessageSize];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof message, format, arguments);
  va_end(arguments);

  char text[kMessageSize];
  const R3xTokenSource* source = context != nullptr ? context->tokenSource : nullptr;
  const char* file = nullptr;
  std::int32_t line = 0;
  if (source == nullptr) {
    formatText(text, "%s", message);
  } else {
    file = parStreamName(parCurrentStream(source));
    line = parCurrentLine(source);
    if (line != 0) {
      formatText(text, "%s\nfile: %s\nline: %d\n", message, file, line);
    } else {
      formatText(text, "%s\nfile: %s\n", message, file);
    }
  }
  if (context != nullptr) {
    ++context->errorCount;
    parRecordLoadError(context->world, file != nullptr ? file : context->fileName, line, message);
  }
  parMessageBox(0, text);
}

void parSetCurrentRegion(R3xParseContext* context, R3xRegion* region, std::int32_t number) {
  context->currentRegion = region;
  context->currentRegionNumber = number;
}

R3xRegion* parCurrentRegion(const R3xParseContext* context) { return context->currentRegion; }

void parReportProgress(R3xParseContext* context) {
  if (context->progress == nullptr) {
    return;
  }
  ++context->progressCount;
  context->progress(context->progressUser, 1, context->progressCount, 0);
}

void parRecordLoadError(R3xWorld* world, const char* file, std::int32_t line, const char* text) {
  if (world == nullptr || world->loadError.recorded != 0) {
    return;
  }
  R3xLoadError& error = world->loadError;
  error.recorded = 1;
  error.line = line;
  std::snprintf(error.file, sizeof error.file, "%s", file != nullptr ? file : "");
  std::snprintf(error.text, sizeof error.text, "%s", text);
}
