// The colour drawer's lighting: three light channels per vertex from each vertex's own normal
// (point lights with R3X_METHOD_SMOOTH, directional lights with R3X_METHOD_DIRECTIONAL, the
// viewer light after clipping), and light or fog that is the same over a whole face applied once
// to the face's 256 palette colours instead of per pixel. Channels run from 0 to 1.99999 (the
// limit keeps the light level below 64).
// Results: R3X_DONE or R3X_ERR_FAILED for the vertex lighting; the palette routines nothing.
#pragma once

#include <cstdint>

#include "engine/core/error.h"
#include "engine/core/render_method.h"

struct R3xClipVertex;
struct R3xRenderContext;

// The source vertices start at the base colour and gain the lights of the list as the method
// allows (never the excluded light); the colours, each limited to 1.99999, go to the clip input
// vertices, with u and v for the textured routine. R3X_ERR_FAILED for more vertices than the
// work arrays hold.
std::int32_t _r3xLightVerticesNormalsRGB(R3xRenderContext* context, std::int32_t count, float red,
                                         float green, float blue, R3xRenderMethod method);
std::int32_t _r3xLightTexturedVerticesNormalsRGB(R3xRenderContext* context, std::int32_t count,
                                                 float red, float green, float blue,
                                                 R3xRenderMethod method);
// Adds the viewer light (at the eye) to clipped vertices facing it by their own normals carried
// into clip space, each channel limited to 1.99999. R3X_DONE.
std::int32_t _r3xAddViewLightNormalsRGB(R3xRenderContext* context, R3xClipVertex* vertices,
                                        std::int32_t count);

// The span state's palette colours, each channel at its light level, into the 256-colour buffer,
// which becomes the face's palette colours.
void _r3xModulatePaletteRGB(R3xRenderContext* context, float red, float green, float blue);
// The same blended toward the fog colour at the level of the 12.20 fog word; over a modulated
// palette the fog lies on the light.
void _r3xFogPaletteRGB(R3xRenderContext* context, std::int32_t fog);
