// The engine's own functions of surface.h, which the public header leaves out.
// Results: nothing.
#pragma once

#include "engine/core/surface.h"

// Adds one reference to every simple sprite texture, from the last surface to the first.
void _r3xAddSurfaceTextureRefs(R3xSurface* surfaces, std::uint32_t count);

// Gives back the references of _r3xAddSurfaceTextureRefs and destroys each texture that nothing
// else uses any more.
void _r3xReleaseSurfaceTextures(R3xWorld* world, R3xSurface* surfaces, std::uint32_t count);

// Frees the UV arrays of a table of surfaces.
void _r3xFreeSurfaceUVs(R3xSurface* surfaces, std::uint32_t count);
