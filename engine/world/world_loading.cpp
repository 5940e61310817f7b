#include "engine/world/world_loading.h"

#include "engine/core/error.h"
#include "engine/core/world.h"
#include "engine/world/parse_context.h"
#include "engine/world/parser.h"
#include "engine/world/precompiled_world.h"
#include "engine/world/token_source.h"
#include "engine/world/world_stream.h"

// A file is parsed as a text or binary world file only when it is not precompiled.
std::int32_t r3xLoadWorldFile(const char* fileName, R3xWorld* world, R3xWad* archive,
                              R3xPalette* palette, R3xLoadProgress progress, void* user) {
  if (world != nullptr) {
    world->loadError = R3xLoadError{};
  }
  const std::int32_t precompiled =
      _r3xReadPrecompiledWorld(fileName, world, archive, progress, user);
  if (precompiled != R3X_ERR_NOT_BINARY_WORLD) {
    return precompiled;
  }
  R3xParseContext* context = parCreateContext(world, archive);
  if (context == nullptr) {
    parRecordLoadError(world, fileName, 0, "out of memory");
    return R3X_ERR_FAILED;
  }
  context->fileName = fileName;
  context->palette = palette;
  context->progress = progress;
  context->progressUser = user;
  R3xWorldStream* stream = parOpenStream(fileName, archive);
  if (stream == nullptr) {
    parError(context, "cannot open world file: %s", fileName);
    parDestroyContext(context);
    return R3X_ERR_FAILED;
  }
  R3xTokenSource* source = parCreateTokenSource(context, stream, nullptr);
  if (source == nullptr) {
    parDestroyContext(context);
    parCloseStream(stream);
    parFreeStream(stream);
    return R3X_ERR_FAILED;
  }
  parParseWorld(context, source);
  const std::int32_t result = context->errorCount != 0 ? R3X_ERR_FAILED : 0;
  parDestroyTokenSource(source);
  parCloseStream(stream);
  parFreeStream(stream);
  parDestroyContext(context);
  return result;
}

std::int32_t r3xReadWorld(const char* fileName, R3xWorld* world, R3xWad* archive) {
  return r3xLoadWorldFile(fileName, world, archive, nullptr, nullptr, nullptr);
}

const R3xLoadError* r3xGetLoadError(const R3xWorld* world) {
  return world != nullptr && world->loadError.recorded != 0 ? &world->loadError : nullptr;
}
