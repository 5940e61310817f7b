// What the 8-bit drawer keeps for the face it is drawing, between its steps: the shading it
// decided, the texture kind after the automatic choice, the clipped and projected polygon with
// its extreme vertices, the routines the span choice made, and the face's depth line.
// Results: records and constants only.
#pragma once

#include <cstdint>

#include "engine/core/render_method.h"
#include "engine/core/span_state.h"
#include "engine/raster/exact_spans_internal.h"
#include "engine/raster/face_shading8_internal.h"

struct R3xClipVertex;

// Texture kinds, the render-method word's bits 8 to 15.
inline constexpr std::int32_t R3X_KIND_FLAT = 0x0000;
inline constexpr std::int32_t R3X_KIND_EXACT = 0x0100;
inline constexpr std::int32_t R3X_KIND_AUTOMATIC = 0x0200;
inline constexpr std::int32_t R3X_KIND_DEPTH_LINES = 0x0300;
inline constexpr std::int32_t R3X_KIND_AFFINE = 0x0400;
inline constexpr std::int32_t R3X_KIND_PERSPECTIVE = 0x0500;
inline constexpr std::int32_t R3X_KIND_QUAD = 0xFF00;

// Render-method bits the drawer reads besides the lighting's.
inline constexpr R3xRenderMethod R3X_METHOD_DEPTH_BIAS = 0x400000;
inline constexpr R3xRenderMethod R3X_METHOD_LIGHT_PER_PIXEL = 0x800000;

struct R3xFaceDraw {
  R3xFaceShading shading;
  std::int32_t kind;
  bool keyed;
  bool outline;
  // Drawn by the colour drawer: three light channels, fog per pixel whenever the shading's fog
  // is on, into the 16-bit image.
  bool colour;
  bool depthSorted;
  // The span state's gradients were set up by the caller for the current object.
  bool objectFog;
  // Shading mode 1 to 5 of the span families.
  std::int32_t mode;
  // The clipped polygon, projected to the screen, and its top, bottom, left and right vertices.
  R3xClipVertex* vertices;
  std::int32_t count;
  std::int32_t top;
  std::int32_t bottom;
  std::int32_t left;
  std::int32_t right;
  float minY;
  float maxY;
  // The box centre relative to the view centre.
  float centreX;
  float centreY;
  // The routines of the face: the opaque one, the colour-keyed one (keyed faces only), and the
  // column pass's routine of a column-kind constant-depth face.
  R3xSpanRoutine opaque;
  R3xKeyedSpanRoutine keyedRoutine;
  R3xSpanRoutine columnRoutine;
  // Depth (1/z) of pixel (x, y) = a x + b y + c.
  float depthA;
  float depthB;
  float depthC;
  // Horizontal constant-depth faces: u/z, v/z and 1/z at x = 0 of the current row, the x
  // gradients of u/z and v/z and the y gradients of all three.
  float rowStart[3];
  float rowXGradients[2];
  float rowYGradients[3];
  // The pre-projected quad: texels move back by this much per row.
  std::int32_t quadRowStep;
  // Pixels handed to span routines less pixels hidden again, added to the render context's
  // pixel count at the end.
  std::uint32_t balance;
};
