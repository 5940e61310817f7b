#include "engine/core/math_plane.h"

#include "engine/core/math_sqrt.h"
#include "engine/core/math_vector.h"

namespace {

// The plane through p1 with normal (a - p1) x (b - p1), scaled to unit length.
void planeOfCorners(const float* a, const float* p1, const float* b, float* normal,
                    float* distance) {
  const float toA[3] = {a[0] - p1[0], a[1] - p1[1], a[2] - p1[2]};
  const float toB[3] = {b[0] - p1[0], b[1] - p1[1], b[2] - p1[2]};
  float n[3];
  r3xCross3(toA, toB, n);
  const float scale = r3xInvSqrt(r3xDot3(n, n));
  normal[0] = n[0] * scale;
  normal[1] = n[1] * scale;
  normal[2] = n[2] * scale;
  *distance = -r3xDot3(normal, p1);
}

}  // namespace

int r3xPlaneFromIndexedPolygon(R3xIndexedPolygon* polygon) {
  if (polygon->vertexCount < 3) {
    return R3X_PLANE_TOO_FEW_CORNERS;
  }
  const float* v = polygon->vertices;
  const std::int32_t* index = polygon->vertexIndexes;
  planeOfCorners(v + 3 * index[0], v + 3 * index[1], v + 3 * index[2], polygon->normal,
                 &polygon->distance);
  return R3X_DONE;
}

int r3xEdgePolygonPlane(R3xEdgePolygon* polygon) {
  if (polygon->edgeCount < 3) {
    return R3X_PLANE_TOO_FEW_CORNERS;
  }
  const R3xXYZEdge* edges = polygon->edges;
  planeOfCorners(edges[0].first, edges[1].first, edges[2].first, polygon->normal,
                 &polygon->distance);
  return R3X_DONE;
}
