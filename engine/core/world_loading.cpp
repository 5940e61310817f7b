#include "engine/core/world_loading.h"

#include "engine/core/error.h"

// The precompiled-world reader and the world-file parser are not part of the engine yet, so
// no file can be read: every load fails with R3X_ERR_FAILED and leaves the world unchanged.
// The entry will try the precompiled reader first and parse the file as a world file only
// when that reader answers R3X_ERR_NOT_BINARY_WORLD.
std::int32_t r3xLoadWorldFile(const char*, R3xWorld*, R3xWad*, R3xPalette*, R3xLoadProgress,
                              void*) {
  return R3X_ERR_FAILED;
}

std::int32_t r3xReadWorld(const char* fileName, R3xWorld* world, R3xWad* archive) {
  return r3xLoadWorldFile(fileName, world, archive, nullptr, nullptr, nullptr);
}
