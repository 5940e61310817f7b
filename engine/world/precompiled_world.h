// Precompiled worlds: a file of typed records, each of which builds one engine object directly.
// r3xLoadWorldFile tries this reader first and parses a file as a text or binary world file
// only when it is not precompiled.
// Results: 0 or a negative R3X_ERR_ code (R3X_ERR_NOT_BINARY_WORLD: parse it as text).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/world/precompiled_world_format.h"
#include "engine/world/world_loading.h"

struct R3xWorld;
struct R3xWad;
struct R3xWorldStream;

// Reads the precompiled world file (from the archive when one is given) into the world, from
// `opened` when the caller has opened it already (at its start; the caller closes it). 0,
// R3X_ERR_NOT_BINARY_WORLD for a file that is not precompiled (nothing made),
// R3X_ERR_BAD_WORLD_VERSION, R3X_ERR_NO_VIS_DATA, or R3X_ERR_FAILED (a file shorter than the
// header, or a record that cannot be read or built; what earlier records made stays).
std::int32_t _r3xReadPrecompiledWorld(const char* fileName, R3xWorld* world, R3xWad* archive,
                                      R3xLoadProgress progress, void* user,
                                      R3xWorldStream* opened = nullptr);

// Unscrambles n bytes with the world string key, starting at key byte 0; destination may be
// source.
void _r3xUnscrambleWorldBytes(void* destination, const void* source, std::size_t n);
