// Vertex lighting and clipping in three light channels, which the Glide path and the colour
// software drawer share, on the render context's vertex work arrays:
// clip[0] is the source array (lighting accumulates there), clip[1] the clip input array and
// clip[2] the alternate array. Light channels run from 0 to 1.99999, 1.0 being full light.
// Results: R3X_DONE, a vertex count, or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/error.h"

struct R3xClipVertex;
struct R3xLight;
struct R3xRenderContext;

// The limit of every light channel (1.9999899864 in single precision).
inline constexpr float R3X_LIGHT_CHANNEL_LIMIT = 1.99999f;

struct R3xLightColour {
  float red;
  float green;
  float blue;
};

// The light's colour at the world time, advancing its frame when its next change is past
// (with the catch-up flag, by as many frames as it is late). A delay of 0 steps one frame.
R3xLightColour _r3xCurrentLightColor(R3xLight* light, std::uint32_t worldTime);

// Sets the base colour on the source vertices, adds every point light of the light list but the
// excluded one, and copies the capped colours to the clip input vertices (the textured routine
// also u and v). R3X_DONE, or R3X_ERR_FAILED for more vertices than the work arrays hold.
std::int32_t _r3xLightVerticesRGB(R3xRenderContext* context, std::int32_t count,
                                  const float* normal, float red, float green, float blue);
std::int32_t _r3xLightTexturedVerticesRGB(R3xRenderContext* context, std::int32_t count,
                                          const float* normal, float red, float green, float blue);
// Adds the view light, which sits at the viewer, to clipped vertices. R3X_DONE.
std::int32_t _r3xAddViewLightRGB(R3xRenderContext* context, R3xClipVertex* vertices,
                                 std::int32_t count, const float* normal);

// Clips the clip input polygon by every plane of the clip mask (bottom, top, left, right,
// near, far in that order), interpolating position and light (the second also u and v). The
// count left (0 below 3) with *out at the array holding it; R3X_ERR_FAILED, with *out at the
// clip input array, when the polygon has more vertices than the work arrays can clip.
std::int32_t _r3xClipPolygonRGB(R3xRenderContext* context, std::int32_t count, R3xClipVertex** out);
std::int32_t _r3xClipPolygon(R3xRenderContext* context, std::int32_t count, R3xClipVertex** out);

// Instead of lighting when the vertices carry their own colours: copies each source vertex's
// capped colour, u and v to the clip input vertex. The normal and base colour are not read.
// R3X_DONE, or R3X_ERR_FAILED for more vertices than the work arrays hold.
std::int32_t _r3xClampVertexColors(R3xRenderContext* context, std::int32_t count,
                                   const float* normal, float red, float green, float blue);
