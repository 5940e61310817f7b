// What the sky, the lens flare and the particles share in drawing through the 3D board: whether
// the render context can draw there, world points taken into clip space relative to the camera,
// the corners of a polygon written to the render context's vertex arrays, and clip-space points
// projected to the screen.
#pragma once

#include <cstdint>

#include "engine/r3x_core.h"
#include "platform/glide.h"

struct R3xCamera;
struct R3xRenderContext;

// A point in clip space: the sides of the view volume are x = +-z and y = +-z; z is the distance
// along the view direction.
struct ClipPoint {
  float x;
  float y;
  float z;
};

// The clip mask the sun, the moon, the ground, the flare and the particles draw with: every plane
// of the view volume but the far one (the sun, the moon and the ground stand beyond it).
inline constexpr std::uint32_t kClipAllButFar = 0x1F;

// The render context draws through the Glide back end and has its colour output attached.
bool IsReadyForSky(const R3xRenderContext* context);
// The world point relative to the camera, through the render context's clip-space rows.
ClipPoint ToClipSpace(const R3xRenderContext& context, const R3xCamera& camera,
                      const float point[3]);
// Corner `index` of the next polygon: its world position, texture coordinates and colour (0 to 1
// a channel) into the source array.
void PutSourceCorner(R3xRenderContext& context, std::int32_t index, const float world[3], float u,
                     float v, float red, float green, float blue);
// Corner `index` of the next polygon into the clip input array.
void PutClipCorner(R3xRenderContext& context, std::int32_t index, const ClipPoint& clip);
// Corner `index` at the world point, into both arrays.
void PutCorner(R3xRenderContext& context, const R3xCamera& camera, std::int32_t index,
               const float world[3], float u, float v, float red, float green, float blue);
// Inside the view volume between the near and far distances.
bool InViewVolume(const R3xRenderContext& context, const ClipPoint& clip);
// A vertex at the point's screen position, unrounded, with 1/w for the W-buffer; no colour.
GrVertex ProjectToScreen(const R3xRenderContext& context, const ClipPoint& clip);
