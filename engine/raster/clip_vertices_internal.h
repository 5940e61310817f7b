// Clipping of the software drawers' polygons against the planes of the view volume that the
// render context's clip mask names (bottom, top, left, right, near, far, in that order), on the
// render context's vertex work arrays: clip[0] the source array (the polygon as supplied, with
// its texture coordinates and normals), clip[1] the clip input array, clip[2] the alternate.
// Results: a vertex count (0 when fewer than 3 remain), or R3X_ERR_FAILED.
#pragma once

#include <cstdint>

#include "engine/core/error.h"

struct R3xClipVertex;
struct R3xRenderContext;

// Copies u and v of the first count source vertices into the clip input array. R3X_DONE, or
// R3X_ERR_FAILED for more vertices than the work arrays hold.
std::int32_t _r3xCopyVertexUV(R3xRenderContext* context, std::int32_t count);

// Each clips the clip input polygon and stores through out the array holding the result: the
// clip input array when the count is below 3 (result 0) or the mask is 0 (the count unchanged),
// else the array the last enabled plane wrote, with the count left or 0 as soon as a plane
// leaves fewer than 3. Intersection vertices interpolate x, y and z (the Lit routines also the
// light, the UV routines also u and v) and lie exactly on their plane. A polygon the work arrays
// cannot hold clipped (count + 6 above their capacity, or one that is not convex outgrowing
// them) gives R3X_ERR_FAILED with out at the clip input array.
std::int32_t _r3xClipVertices(R3xRenderContext* context, std::int32_t count, R3xClipVertex** out);
std::int32_t _r3xClipVerticesUV(R3xRenderContext* context, std::int32_t count, R3xClipVertex** out);
std::int32_t _r3xClipVerticesLit(R3xRenderContext* context, std::int32_t count,
                                 R3xClipVertex** out);
std::int32_t _r3xClipVerticesLitUV(R3xRenderContext* context, std::int32_t count,
                                   R3xClipVertex** out);
