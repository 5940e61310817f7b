// The texture part of the span state: the perspective gradients of u/z, v/z and 1/z over the
// screen from a face's texture plane with the MIP level chosen from the texel step at the
// face's centre, or, for affine drawing, the MIP level chosen from four extreme vertices.
// Results: R3X_DONE, or R3X_ERR_FAILED for a face without a drawable texture.
#pragma once

#include <cstdint>

#include "engine/core/error.h"

struct R3xBitmap;
struct R3xClipVertex;
struct R3xRenderContext;
struct R3xSurface;

// The surface's bitmap (its own, or its simple sprite's current frame) with 8-bit texels, or
// null: a face without one is not drawn textured.
R3xBitmap* _r3xTextureBitmap(const R3xSurface* surface);

// The number of further MIP levels the rasterizer uses: the bitmap's, at most nine (the
// thresholds) and at most log2 of its smaller side.
std::int32_t _r3xUsableMipLevels(const R3xBitmap* bitmap);

// Fills the interpolants (at the view centre), their x and y gradients and the x gradients times
// 16, and the texture fields of the level chosen at the screen offset (centreX, centreY) from
// the view centre; the 1/z terms scaled by 2^level.
std::int32_t _r3xSetupTextureGradients(R3xRenderContext* context, const R3xSurface* surface,
                                       float centreX, float centreY);
// Chooses the level from the u and v slopes between the left and right and the top and bottom
// vertices, rescales every vertex's u and v to it and fills the texture fields.
std::int32_t _r3xSelectAffineMipLevel(R3xRenderContext* context, const R3xSurface* surface,
                                      R3xClipVertex* vertices, std::int32_t count,
                                      const R3xClipVertex* top, const R3xClipVertex* bottom,
                                      const R3xClipVertex* left, const R3xClipVertex* right);
