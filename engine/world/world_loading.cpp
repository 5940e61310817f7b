#include "engine/world/world_loading.h"

#include <cstdio>

#include "engine/core/error.h"
#include "engine/core/world.h"
#include "engine/world/parse_context.h"
#include "engine/world/parser.h"
#include "engine/world/precompiled_world.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"

namespace {

// Parses the text or binary world file of the open stream into the world.
std::int32_t parseWorld(const char* fileName, R3xWorld* world, R3xWad* archive, R3xPalette* palette,
                        R3xLoadProgress progress, void* user, R3xWorldStream* stream,
                        std::int32_t form) {
  R3xParseContext* context = parCreateContext(world, archive);
  if (context == nullptr) {
    parRecordLoadError(world, fileName, 0, "out of memory");
    return R3X_ERR_FAILED;
  }
  context->fileName = fileName;
  context->palette = palette;
  context->progress = progress;
  context->progressUser = user;
  R3xTokenSource* source = parCreateTokenSourceOfForm(context, stream, nullptr, form);
  if (source == nullptr) {
    parDestroyContext(context);
    return R3X_ERR_FAILED;
  }
  parParseWorld(context, source);
  const std::int32_t result = context->errorCount != 0 ? R3X_ERR_FAILED : 0;
  parDestroyTokenSource(source);
  parDestroyContext(context);
  return result;
}

}  // namespace

// The file is opened once and its first bytes read once: a precompiled world goes to its reader,
// any other is parsed as a binary or text world file.
std::int32_t r3xLoadWorldFile(const char* fileName, R3xWorld* world, R3xWad* archive,
                              R3xPalette* palette, R3xLoadProgress progress, void* user) {
  if (world == nullptr) {
    return R3X_ERR_FAILED;
  }
  world->loadError = R3xLoadError{};
  R3xWorldStream* stream = parOpenStream(fileName, archive);
  if (stream == nullptr) {
    char text[R3X_LOAD_ERROR_TEXT_SIZE];
    std::snprintf(text, sizeof text, "cannot open world file: %s", fileName);
    parRecordLoadError(world, fileName, 0, text);
    return R3X_ERR_FAILED;
  }
  const std::int32_t form = parSniffWorldForm(stream);
  std::int32_t result = R3X_ERR_FAILED;
  if (form == PAR_WORLD_PRECOMPILED) {
    result = _r3xReadPrecompiledWorld(fileName, world, archive, progress, user, stream);
  } else {
    result = parseWorld(fileName, world, archive, palette, progress, user, stream, form);
  }
  parCloseStream(stream);
  parFreeStream(stream);
  return result;
}

std::int32_t r3xReadWorld(const char* fileName, R3xWorld* world, R3xWad* archive) {
  return r3xLoadWorldFile(fileName, world, archive, nullptr, nullptr, nullptr);
}

const R3xLoadError* r3xGetLoadError(const R3xWorld* world) {
  return world != nullptr && world->loadError.recorded != 0 ? &world->loadError : nullptr;
}
