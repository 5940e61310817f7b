// The surface record of region faces, 3D sprite faces and 2D sprites, and the texture
// references that tables of surfaces hold.
#pragma once

#include <cstdint>

#include "engine/core/render_method.h"

struct R3xWorld;
struct R3xObjectHeader;

struct R3xSurface {
  // R3X_TYPE_SURFACE.
  std::int32_t type;
  R3xRenderMethod renderMethod;
  float intensity;
  float ambientScale;
  // Palette index of untextured drawing in the low byte.
  std::uint32_t pen;
  // A simple sprite, the shared null part, or null.
  R3xObjectHeader* texture;
  float uvOrigin[3];
  float uAxis[3];
  float vAxis[3];
  // One {u, v} pair per corner of the face, or null; owned by the table that holds the surface.
  float* uv;
  std::uint32_t reserved;
  std::uint32_t twoSided;
};

// Adds one reference to every simple sprite texture, from the last surface to the first.
void _r3xAddSurfaceTextureRefs(R3xSurface* surfaces, std::uint32_t count);

// Gives back the references of _r3xAddSurfaceTextureRefs and destroys each texture that nothing
// else uses any more.
void _r3xReleaseSurfaceTextures(R3xWorld* world, R3xSurface* surfaces, std::uint32_t count);

// Frees the UV arrays of a table of surfaces.
void _r3xFreeSurfaceUVs(R3xSurface* surfaces, std::uint32_t count);
