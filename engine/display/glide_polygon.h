// Polygon submission on the Glide back end: one polygon lit, clipped, projected and drawn with
// the colour, blending, chroma-key and depth-bias state its render method asks for, and the
// shared vertex batch the sky collects its polygons in.
// Results: R3X_GLIDE_POLYGON_DRAWN, R3X_GLIDE_POLYGON_CLIPPED or R3X_GLIDE_POLYGON_FAILED.
#pragma once

#include <cstdint>

#include "engine/core/render_method.h"
#include "platform/glide.h"

struct R3xRenderContext;
struct R3xSurface;

inline constexpr std::int32_t R3X_GLIDE_POLYGON_CLIPPED = 0;
inline constexpr std::int32_t R3X_GLIDE_POLYGON_DRAWN = 1;
// Nothing drawn or added: the world draw's passes stop at it and answer it as it is.
inline constexpr std::int32_t R3X_GLIDE_POLYGON_FAILED = -1;

// At most this many clipped vertices of one polygon are drawn.
inline constexpr std::int32_t R3X_GLIDE_POLYGON_VERTICES = 256;
inline constexpr std::int32_t R3X_GLIDE_BATCH_VERTICES = 2048;
// Polygons the batch keeps a vertex count for; the sky adds far fewer between two resets.
inline constexpr std::int32_t R3X_GLIDE_BATCH_POLYGONS = 2048;

// The sky's shared batch. Its drawer sets both counts to 0 before adding polygons; polygon i
// (from 0) has polygonVertexCounts[i] vertices, following those of the polygons before it.
struct R3xGlideBatch {
  GrVertex vertices[R3X_GLIDE_BATCH_VERTICES];
  std::int32_t vertexCount;
  std::int32_t polygonCount;
  std::int32_t polygonVertexCounts[R3X_GLIDE_BATCH_POLYGONS];
};

// The process's one batch.
R3xGlideBatch* r3xGlideSharedBatch();

// Lights the source vertices (the clip input holding them in clip space) by the render method,
// clips them by the clip mask and draws the polygon filled or as an outline, putting back the
// state it set. R3X_GLIDE_POLYGON_FAILED, without drawing, when lighting or clipping fails or the
// surface's texture is neither a bitmap nor a simple sprite with a registered texture.
std::int32_t r3xGlideDrawPolygon(R3xRenderContext* context, std::int32_t count,
                                 const R3xSurface* surface, R3xRenderMethod method);
// Clips the source vertices, which carry their own colours, and adds what is left to the shared
// batch, cut to the vertices that still fit. The polygon and the method are not read.
// R3X_GLIDE_POLYGON_FAILED, with nothing added, when clipping fails or the batch's polygon list is
// full.
std::int32_t r3xGlideBatchPolygon(R3xRenderContext* context, std::int32_t count,
                                  const void* polygon, R3xRenderMethod method);
