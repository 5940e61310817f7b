// What the 3D view gets after the world: the lens flare in front of the sun and every live
// particle of the pool, drawn as a line or a point and then moved and aged.
#pragma once

#include <cstdint>

struct SkyState;

// 0; R3X_ERR_FAILED without drawing when the render context cannot draw through the board, or
// when a flare texture is missing or cannot be made resident (the particles are still drawn and
// aged then).
std::int32_t DrawFlareAndParticles(SkyState* sky);
