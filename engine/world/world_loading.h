// The entry that loads a world file into a world.
// Results: 0 or a negative R3X_ERR_ code; the recorded error or null.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xWad;
struct R3xPalette;
struct R3xLoadError;

// Called by the readers as they make progress: (user, 1, done so far, total or 0).
using R3xLoadProgress = void (*)(void* user, std::int32_t phase, std::uint32_t done,
                                 std::uint32_t total);

// Loads a world file, from the archive when one is given, into the world. 0 or a negative
// engine error code; what was made before an error stays in the world. Every error is shown in a
// "World File Parser" message box, and the first is also kept in the world (r3xGetLoadError).
std::int32_t r3xLoadWorldFile(const char* fileName, R3xWorld* world, R3xWad* archive,
                              R3xPalette* palette, R3xLoadProgress progress, void* user);
// r3xLoadWorldFile without a palette and without progress reports.
std::int32_t r3xReadWorld(const char* fileName, R3xWorld* world, R3xWad* archive);

// The first error of the last load into the world: file, line and text. Null when that load had
// none, and for a null world.
const R3xLoadError* r3xGetLoadError(const R3xWorld* world);
