// Polyhedra: convex collision volumes whose faces are edge polygons over the definition's own
// vertices. A definition owns its geometry and a default instance; instances carry a scale.
// Results: an object, or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/math_plane.h"
#include "engine/core/object.h"

struct R3xWorld;
struct R3xPolyhedron;

// R3X_TYPE_POLYHEDRON_DEF. The reference count is 1 for the default instance plus 1 for every
// other instance.
struct R3xPolyhedronDef {
  R3xObjectHeader header;
  // Bounding radius at scale 1.
  float radius;
  std::uint32_t faceCount;
  // Owned, with their edge arrays; the edges point into `vertices`.
  R3xEdgePolygon* faces;
  std::uint32_t vertexCount;
  // Owned xyz triples.
  float* vertices;
  R3xPolyhedron* defaultInstance;
};

// R3X_TYPE_POLYHEDRON, used as an R3xVolume. The header's reference count is not used.
struct R3xPolyhedron {
  R3xObjectHeader header;
  float scale;
  R3xPolyhedronDef* definition;
};

// The definition with a copy of the faces and vertices (the edges of the given faces point into
// the given vertex array), or the definition already known under the tag, unchanged. Null when
// another kind of object holds the tag, an edge points outside the vertex array, or out of
// memory; nothing is left behind then.
R3xPolyhedronDef* r3xDefinePolyhedron(R3xWorld* world, const char* tag, float radius,
                                      std::uint32_t faceCount, const R3xEdgePolygon* faces,
                                      std::uint32_t vertexCount, const float* vertices,
                                      float defaultScale);
// Frees the definition with its default instance. R3X_ERR_FAILED, with nothing changed, while
// other instances exist; 0.
std::int32_t r3xDestroyPolyhedronDef(R3xWorld* world, R3xPolyhedronDef* definition);

// A registered, untagged copy of the default instance or of the given instance, counted in the
// definition; null on failure.
R3xPolyhedron* r3xCreatePolyhedron(R3xWorld* world, R3xPolyhedronDef* definition);
R3xPolyhedron* r3xCopyPolyhedron(R3xWorld* world, const R3xPolyhedron* instance);
// 0, or R3X_ERR_DEFAULT_INSTANCE for a definition's default instance, which only its
// definition destroys.
std::int32_t r3xDestroyPolyhedron(R3xWorld* world, R3xPolyhedron* instance);

// As r3xSetTag.
std::int32_t r3xSetPolyhedronTag(R3xWorld* world, R3xPolyhedron* instance, const char* tag);
std::int32_t r3xSetPolyhedronScale(R3xPolyhedron* instance, float scale);
