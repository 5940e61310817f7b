// The 8-bit polygon drawer: one face, whose vertices the caller placed in the render context's
// vertex work arrays (the source array as supplied, the clip input array in clip space), lit,
// clipped, fogged, projected and scan-converted into the 8-bit image through the rows' covered
// runs. Faces reach it nearest first, or in any order with the depth-sorting switch on.
// Results: a vertex count, R3X_DRAW8_NOTHING or R3X_DRAW8_FAILED.
#pragma once

#include <cstdint>

#include "engine/core/render_method.h"

struct R3xRenderContext;
struct R3xSurface;

// Nothing was drawn: clipping left fewer than 3 vertices, the face's texture has no level the
// span routines can draw, or a pre-projected quad came without its routine.
inline constexpr std::int32_t R3X_DRAW8_NOTHING = 0;
// The constant-depth set-up or a row's covered-run list could not grow; the rows drawn before
// stay drawn.
inline constexpr std::int32_t R3X_DRAW8_FAILED = -1;
// A pre-projected quad's vertex count.
inline constexpr std::int32_t R3X_DRAW8_QUAD = 4;

// The vertex count of the face as drawn (after clipping and the light spot's subdivision). The
// pixels handed to span routines are added to the render context's pixel count.
std::int32_t _r3xDrawPolygon8(R3xRenderContext* context, std::uint32_t vertexCount,
                              const R3xSurface* surface, R3xRenderMethod method);
