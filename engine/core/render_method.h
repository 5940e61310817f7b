// The render method word of region faces, 3D sprite faces and 2D sprites, and the check that a
// render context's indirect table can resolve it.
// Results: records and constants only.
#pragma once

#include <cstdint>

// Bits 0-1 fill (2 outline, 3 solid); bits 2-4 lighting (R3X_LIGHTING_*); bits 8-15 texture mode
// (non-zero: textured); bits 16-19 translucency level; bits 7, 22 and 24 belong to the display
// back end. With bit 31 set the low 31 bits index the render context's indirect table instead.
using R3xRenderMethod = std::uint32_t;

inline constexpr R3xRenderMethod R3X_RENDER_INDIRECT = 0x80000000;
inline constexpr R3xRenderMethod R3X_RENDER_INDIRECT_INDEX = 0x7FFFFFFF;
inline constexpr R3xRenderMethod R3X_RENDER_FILL_MASK = 0x00000003;
inline constexpr R3xRenderMethod R3X_RENDER_FILL_OUTLINE = 2;
inline constexpr R3xRenderMethod R3X_RENDER_FILL_SOLID = 3;
inline constexpr R3xRenderMethod R3X_RENDER_LIGHTING_MASK = 0x0000001C;
inline constexpr R3xRenderMethod R3X_LIGHTING_ZERO = 0;
inline constexpr R3xRenderMethod R3X_LIGHTING_FULL = 4;
// The surface's constant intensity.
inline constexpr R3xRenderMethod R3X_LIGHTING_CONSTANT = 8;
// The render context's ambient colour.
inline constexpr R3xRenderMethod R3X_LIGHTING_AMBIENT = 16;
// The ambient colour times the surface's ambient scale.
inline constexpr R3xRenderMethod R3X_LIGHTING_SCALED_AMBIENT = 20;
inline constexpr R3xRenderMethod R3X_RENDER_TEXTURE_MASK = 0x0000FF00;
inline constexpr R3xRenderMethod R3X_RENDER_TRANSLUCENCY_MASK = 0x000F0000;

// The indirect render methods of a render context: entry i is the method used for 0x80000000 | i.
struct R3xIndirectRenderMethods {
  std::uint32_t count;
  R3xRenderMethod* methods;
};
