// The surface record of region faces, 3D sprite faces and 2D sprites, and the texture
// references that tables of surfaces hold.
// Results: records only.
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
