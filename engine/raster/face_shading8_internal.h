// The per-face shading decisions of the 8-bit path: the base light from the render-method word
// (with the directional lights), the fog of the face (one amount, or one value per vertex, or
// one level folded into the shade data), and the fall-back from smooth to flat shading when the
// vertex lights keep to one of the 16 levels.
// Results: values and records; no failure.
#pragma once

#include <cstdint>

#include "engine/core/render_method.h"

struct R3xClipVertex;
struct R3xRenderContext;
struct R3xSurface;

// Colour-keyed: texels equal to the transparent index are not drawn.
inline constexpr R3xRenderMethod R3X_METHOD_KEYED = 0x80;

// What the drawer decides for one face.
struct R3xFaceShading {
  R3xRenderMethod method;
  bool smooth;
  // The light spot is searched for: smooth, not keyed, with the render context's current face.
  bool spot;
  bool fog;
  // The base light L and the face's fog amount F, 0 to 0.99999.
  float light;
  float fogAmount;
  // The shade data the span state takes: the shade table's, or its block of a constant fog
  // level.
  const std::uint8_t* shadeData;
};

// Below this the fog of a face is not drawn (the float 0x3D800000).
inline constexpr float R3X_FOG_THRESHOLD = 0.0625f;

// The base light of the method word's lighting code (a code the keywords never make, 0x0C, 0x18
// or 0x1C, gives 0); a face lit to 0.9375 or more is drawn flat without its directional lights;
// with R3X_METHOD_DIRECTIONAL the directional lights at the head of the light list are added
// (or, with vertex normals, left to the vertex lighting, which makes the face smooth). The spot
// is decided on entry; fog on in fog mode 2, the shade data the shade table's.
R3xFaceShading _r3xFaceBaseLight8(R3xRenderContext* context, const R3xSurface* surface,
                                  R3xRenderMethod method, const float* faceNormal);

// The fog of the clipped face: a flat face's amount (off below R3X_FOG_THRESHOLD); a smooth
// face's distance per vertex in its fog word, or, when all its vertices lie in one fog level,
// that level folded into the shade data with the fog off. A face with the light spot is fogged
// the same way (its fog words would otherwise be left unset).
void _r3xDecideFaceFog8(R3xRenderContext* context, R3xClipVertex* vertices, std::int32_t count,
                        R3xFaceShading* shading);

// A smooth face without the light spot and without fog whose vertex lights differ by
// less than 1/16 within one level is drawn flat at the largest (a constant fog level folded before
// goes back to the fog amount).
void _r3xFlatFallback8(R3xRenderContext* context, const R3xClipVertex* vertices, std::int32_t count,
                       R3xFaceShading* shading);
