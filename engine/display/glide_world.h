// The world draw on the Glide back end: the frame's view set up from the camera, the regions
// the camera's visibility data names culled by their bounding spheres, the front faces and the
// actors' sprites of the rest queued, and the draw lists drawn in passes.
// Results: 0 or R3X_DONE, R3X_GLIDE_WORLD_INCOMPLETE, R3X_GLIDE_WORLD_NO_MEMORY,
// R3X_GLIDE_POLYGON_FAILED, or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

struct R3xCamera;
struct R3xRenderContext;
struct R3xWorld;

// The region stamps or the actor work array could not be allocated.
inline constexpr std::int32_t R3X_GLIDE_WORLD_NO_MEMORY = -1;
// The frame stopped before its passes, or the vertex work arrays could not grow in them.
inline constexpr std::int32_t R3X_GLIDE_WORLD_INCOMPLETE = 1;

// Prepares the render context for a frame of the camera: empties the draw lists, sets up the
// frame's view as every back end does (engine/core/frame_view.h: room for a stamp per region, the
// view, its volume's factors, the world time) and sets the depth state. The result of
// r3xSetViewMatrix, or R3X_GLIDE_WORLD_NO_MEMORY.
std::int32_t r3xGlideBeginFrame(const R3xWorld* world, R3xRenderContext* context,
                                const R3xCamera* camera);
// Draws what the camera sees. Nothing is drawn (0) for a camera outside the world's regions, in
// a region without mesh geometry or without a visibility leaf where it stands. 0;
// R3X_GLIDE_WORLD_NO_MEMORY without region stamps or actor work array;
// R3X_GLIDE_WORLD_INCOMPLETE when a sprite fails to queue; the passes' result
// (R3X_GLIDE_WORLD_INCOMPLETE when the vertex arrays cannot grow, R3X_GLIDE_POLYGON_FAILED for
// a polygon that cannot be drawn). Every draw list is empty afterwards.
std::int32_t r3xGlideDrawWorld(R3xWorld* world, R3xRenderContext* context, const R3xCamera* camera);
