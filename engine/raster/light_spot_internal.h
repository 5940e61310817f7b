// The light spot of the software drawers (one light value in the 8-bit path, red, green and blue
// in the colour path): the point of a smooth face nearest to its brightest point
// light gets its own light value, joined to the face's vertices by light edges that run down the
// screen beside the real edges; along each scan line the light changes linearly between the
// light edges, and the lit span driver cuts each span at them, giving every piece its own light
// gradient before calling the real span routine (the span state's routine).
// Results: 1 (a spot found) or 0; the edge routines 0 or R3X_ERR_FAILED.
#pragma once

#include <cstdint>

#include "engine/core/error.h"

struct R3xClipVertex;
struct R3xRenderContext;

// The spot of the face being drawn (the render context's current face; none without one) for
// the clipped, projected vertices: the point light whose own light at its foot point on the face
// is largest above the spot threshold, with its foot inside the polygon (or, with the edge clamp
// on, moved onto the edge it lies beyond). Empties the light-edge list. With the subdivision
// cosine above -1 the edges that the spot sees under a wide angle are split, up to the work
// arrays' capacity, and *count grows.
std::int32_t _r3xFindLightSpot8(R3xRenderContext* context, float base, R3xClipVertex* vertices,
                                std::int32_t* count);
// The same in three channels: each light's colour of its current frame, the brightest channel
// compared with the threshold, every channel limited to 1.99999.
std::int32_t _r3xFindLightSpotRGB(R3xRenderContext* context, float red, float green, float blue,
                                  R3xClipVertex* vertices, std::int32_t* count);

// At the start of each scan line of the face: removes the edges that ended, steps the others
// (keeping the list sorted by x) and, on the spot's row, adds an edge from the spot to every
// vertex below it. R3X_ERR_FAILED, with the list kept, when it cannot grow by 8 edges.
std::int32_t _r3xAdvanceLightEdges(R3xRenderContext* context, const R3xClipVertex* vertices,
                                   std::int32_t count, std::int32_t row);
std::int32_t _r3xAdvanceLightEdgesRGB(R3xRenderContext* context, const R3xClipVertex* vertices,
                                      std::int32_t count, std::int32_t row);
// When the drawer's edge walk reaches a vertex above the spot's row: an edge from it to the spot.
std::int32_t _r3xAddLightEdgeToSpot(R3xRenderContext* context, const R3xClipVertex* vertex,
                                    std::int32_t row);
std::int32_t _r3xAddLightEdgeToSpotRGB(R3xRenderContext* context, const R3xClipVertex* vertex,
                                       std::int32_t row);

// The lit span driver: the span from x in pieces broken at the light edges (each moved to the
// nearest multiple of 16 pixels from the row's first pixel, where the perspective routines start
// their groups), each piece drawn by the span state's routine with its own light gradient; the
// light value field is restored afterwards.
void _r3xSpanLightDriver(R3xRenderContext* context, std::int32_t x, std::int32_t count);

// The colour path's colour stage with the spot: the span in pieces broken at the light edges
// (at their own pixels), each given its three light gradients and handed to the span state's
// saved colour routine; the light values are restored afterwards.
void _r3xSpanLightEdgesRGB(R3xRenderContext* context, std::int32_t x, std::int32_t count);
