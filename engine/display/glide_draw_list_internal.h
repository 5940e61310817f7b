// The world draw's draw lists: every polygon of a frame is queued first, by texture and by
// opacity, and then drawn in passes: untextured opaque, each texture's opaque polygons, then the
// translucent ones without fog and depth writes. Each texture is selected once per pass.
// Results: R3X_GLIDE_QUEUED or R3X_GLIDE_NOT_QUEUED; 0, R3X_GLIDE_PASSES_NO_MEMORY or
// R3X_GLIDE_POLYGON_FAILED.
// The frame start resets the pool; the world draw and the 2D and 3D sprite queueing queue
// faces and quads, and the world draw runs the passes.
#pragma once

#include <cstdint>

#include "engine/core/render_method.h"
#include "engine/display/glide_context.h"

struct R3xIndexedPolygon;
struct R3xObjectHeader;
struct R3xSurface;

inline constexpr std::int32_t R3X_GLIDE_NOT_QUEUED = 0;
inline constexpr std::int32_t R3X_GLIDE_QUEUED = 1;
// The vertex work arrays could not grow for a polygon; the world draw answers it as it is.
inline constexpr std::int32_t R3X_GLIDE_PASSES_NO_MEMORY = 1;

// Entries of one frame; more polygons in a frame are dropped.
inline constexpr std::uint32_t R3X_GLIDE_DRAW_ENTRIES = 8192;

struct R3xGlideDrawEntry {
  const R3xIndexedPolygon* polygon;
  // The xyz triples the polygon's indices select.
  const float* vertices;
  const R3xSurface* surface;
  // Resolved: never indirect.
  R3xRenderMethod renderMethod;
  // What the render context held at queueing.
  float fogDistance;
  std::uint32_t clipFlags;
  std::uint32_t lightCount;
  R3xObjectHeader* const* lights;
  float ambient[3];
  R3xGlideDrawEntry* next;
};

// Empties the pool and every list for a new frame: a world draw that stopped before its passes
// leaves its lists filled.
void _r3xGlideResetDrawPool(const R3xGlideContext* glide);
// Takes the next pool entry for the polygon with the render context's queued fog distance, clip
// flags, lights and ambient colour and pushes it at the head of its list. A textured polygon
// whose surface's texture is neither a bitmap nor a simple sprite, or whose bitmap cannot be
// registered, is not queued; nor is any polygon once the pool is used up.
std::int32_t _r3xGlideQueuePolygon(R3xRenderContext* context, const R3xIndexedPolygon* polygon,
                                   const float* vertices, const R3xSurface* surface,
                                   R3xRenderMethod method);
// Draws and empties every list in pass order, counting the polygons drawn in the render
// context. Stops at the first failure; every list is empty afterwards, depth writes and table
// fog on.
std::int32_t _r3xGlideDrawPasses(R3xRenderContext* context);
