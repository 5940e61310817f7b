// The 8-bit path's lighting: one light value per vertex, 0 to 0.99999, from the point lights
// (and, per vertex normal, the directional lights) of the render context's light list, the
// viewer's own light added after clipping, and a polygon's fog amount from its mean distance.
// Results: R3X_DONE or R3X_ERR_FAILED; the fog amount is a value.
#pragma once

#include <cstdint>

#include "engine/core/error.h"
#include "engine/core/render_method.h"

struct R3xClipVertex;
struct R3xRenderContext;

// Render-method bits the lighting reads.
inline constexpr R3xRenderMethod R3X_METHOD_VERTEX_NORMALS = 0x20;
inline constexpr R3xRenderMethod R3X_METHOD_SMOOTH = 0x40;
inline constexpr R3xRenderMethod R3X_METHOD_DIRECTIONAL = 0x200000;

// The source vertices start at the base light and gain every point light of the list but the
// excluded one, with the face normal; the lights, limited to 0.99999 (a negative one unchanged),
// go to the clip input vertices. The textured routines also copy u and v there. R3X_DONE, or
// R3X_ERR_FAILED for more vertices than the work arrays hold.
std::int32_t _r3xLightVertices8(R3xRenderContext* context, std::int32_t count,
                                const float* faceNormal, float base);
std::int32_t _r3xLightTexturedVertices8(R3xRenderContext* context, std::int32_t count,
                                        const float* faceNormal, float base);
// The same with each vertex's own normal: point lights only with R3X_METHOD_SMOOTH, and the
// directional lights with R3X_METHOD_DIRECTIONAL.
std::int32_t _r3xLightVerticesNormals8(R3xRenderContext* context, std::int32_t count, float base,
                                       R3xRenderMethod method);
std::int32_t _r3xLightTexturedVerticesNormals8(R3xRenderContext* context, std::int32_t count,
                                               float base, R3xRenderMethod method);

// Adds the viewer light (at the eye) to clipped vertices below the limit, facing the eye by the
// face normal (or each vertex's own normal) carried into clip space. R3X_DONE.
std::int32_t _r3xAddViewLight8(R3xRenderContext* context, R3xClipVertex* vertices,
                               std::int32_t count, const float* faceNormal);
std::int32_t _r3xAddViewLightNormals8(R3xRenderContext* context, R3xClipVertex* vertices,
                                      std::int32_t count);

// The fog amount of clipped vertices: their mean distance past the fog start, scaled to 0 ..
// 0.99999 over the fog range.
float _r3xPolygonFogFactor(R3xRenderContext* context, std::int32_t count,
                           const R3xClipVertex* vertices);
