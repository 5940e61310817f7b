// The state of one world-file parse that the scanners, the token source and the parser share,
// and the reporting of world-file errors.
// Results: a context or null; the rest nothing.
#pragma once

#include <cstdint>

#include "engine/world/token_value.h"
#include "engine/world/world_loading.h"

struct R3xWorld;
struct R3xWad;
struct R3xTokenSource;
struct R3xRegion;
struct R3xPalette;
struct R3xRegionWork;
struct R3xParsedObstacle;

struct R3xParseContext {
  // The world being filled.
  R3xWorld* world;
  // Where the world file and its include files come from; null for plain files.
  R3xWad* archive;
  // Errors reported so far: any at all fails the load.
  std::int32_t errorCount;
  // The file the load was asked for; errors before the parse starts are recorded against it.
  const char* fileName;
  // The value of the last token read.
  R3xTokenValue tokenValue;
  // Set when the parse starts; until then messages carry no file name.
  R3xTokenSource* tokenSource;
  // The region whose body is being parsed, its 1-based number and vertex count.
  R3xRegion* currentRegion;
  std::int32_t currentRegionNumber;
  std::uint32_t currentVertexCount;
  // Turns RGB pens into colour indices; null unless the load was given one.
  R3xPalette* palette;
  // Called after each top-level definition with (user, 1, count, 0).
  R3xLoadProgress progress;
  void* progressUser;
  std::uint32_t progressCount;
  // The vertex count of the polygon whose surface is being read (UV pairs must match it).
  std::uint32_t polygonVertexCount;
  // Working state of the region block being parsed; owned.
  R3xRegionWork* regionWork;
  // A cleared obstacle record the last OBSTACLE statement left for the next one; owned or null.
  R3xParsedObstacle* spareObstacle;
};

// A cleared context, or null after reporting "out of memory".
R3xParseContext* parCreateContext(R3xWorld* world, R3xWad* archive);
// Frees the context with any text its token value still owns and its spare obstacle record;
// null is allowed.
void parDestroyContext(R3xParseContext* context);

void parSetCurrentRegion(R3xParseContext* context, R3xRegion* region, std::int32_t number);
R3xRegion* parCurrentRegion(const R3xParseContext* context);

// Counts one top-level definition and calls the progress callback when there is one.
void parReportProgress(R3xParseContext* context);

// Formats the message (at most 255 characters), appends the current file and, when it has
// lines, the line, counts the error in a non-null context and shows it in a message box. The
// first error of a load is also recorded in the context's world.
void parError(R3xParseContext* context, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Keeps file, line and text as the world's load error unless one is recorded already. A null
// world or file is allowed.
void parRecordLoadError(R3xWorld* world, const char* file, std::int32_t line, const char* text);
