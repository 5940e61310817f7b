// The colour polygon drawer: one face, whose vertices the caller placed in the render context's
// vertex work arrays as for the 8-bit drawer, lit in three channels, clipped, fogged toward the
// fog colour, projected and scan-converted into the 16-bit image in the device's pixel format.
// Textures stay 8-bit: each span goes through the texel, colour and output stages, and light or
// fog that is the same over the whole face is applied once to the face's 256 palette colours.
// Results: a vertex count, R3X_DRAW8_NOTHING or R3X_DRAW8_FAILED.
#pragma once

#include <cstdint>

#include "engine/core/render_method.h"

struct R3xRenderContext;
struct R3xSurface;

// The vertex count of the face as drawn. Nothing is drawn (R3X_DRAW8_NOTHING) without the colour
// attachment's rows and routines, the 16-bit image, or for an image wider than the rows; for a
// pre-projected quad, which has no colour form; or while the render context names a current
// object. The pixels handed to span routines are added to the render context's pixel count.
std::int32_t _r3xDrawPolygonRGB(R3xRenderContext* context, std::uint32_t vertexCount,
                                const R3xSurface* surface, R3xRenderMethod method);
