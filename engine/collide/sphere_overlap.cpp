#include "engine/collide/sphere_overlap.h"

#include "engine/collide/point_in_polygon.h"
#include "engine/core/math_plane.h"
#include "engine/core/obstacle.h"
#include "engine/core/region.h"

namespace {

float squaredDistance2D(const float* a, const float* b) {
  const float dx = a[0] - b[0];
  const float dy = a[1] - b[1];
  return dx * dx + dy * dy;
}

float squaredDistance3D(const float* a, const float* b) {
  const float dx = a[0] - b[0];
  const float dy = a[1] - b[1];
  const float dz = a[2] - b[2];
  return dx * dx + dy * dy + dz * dz;
}

bool withinSlab(float distance, float radius) { return -radius < distance && distance < radius; }

// The squared distance from the centre to the segment as the polygon test measures it: beyond
// the second vertex to that vertex, along the edge to its line, before it to the first vertex.
float squaredDistanceToEdge(const float* centre, const R3xXYZEdge& edge) {
  const float* first = edge.first;
  const float* second = edge.second;
  const float length = edge.length;
  // An edge of length 0 has no direction: it is its first vertex.
  if (!(length > 0.0f)) {
    return squaredDistance3D(centre, first);
  }
  const float v[3] = {centre[0] - first[0], centre[1] - first[1], centre[2] - first[2]};
  const float a = (v[0] * (second[0] - first[0]) + v[1] * (second[1] - first[1]) +
                   v[2] * (second[2] - first[2])) /
                  length;
  if (a >= length) {
    return squaredDistance3D(centre, second);
  }
  if (a > 0.0f) {
    return v[0] * v[0] + v[1] * v[1] + v[2] * v[2] - a * a;
  }
  return squaredDistance3D(centre, first);
}

}  // namespace

std::int32_t _r3xCircleHitsPoint2D(const float* centre, float radius, const float* point) {
  return squaredDistance2D(point, centre) < radius * radius ? 1 : 0;
}

std::int32_t _r3xSphereHitsPoint(const float* centre, float radius, const float* point) {
  return squaredDistance3D(point, centre) < radius * radius ? 1 : 0;
}

std::int32_t _r3xCircleHitsLine2D(const float* centre, float radius, const R3xXYLine* line) {
  // Through one point there is no line: it stops nothing, at rest as when swept (its zero normal
  // would put every centre on it).
  if (!(line->length > 0.0f)) {
    return 0;
  }
  const float s = line->nx * centre[0] + line->ny * centre[1] + line->offset;
  return withinSlab(s, radius) ? 1 : 0;
}

std::int32_t _r3xCircleHitsEdge2D(const float* centre, float radius, const R3xXYLine* edge) {
  if (_r3xCircleHitsLine2D(centre, radius, edge) == 0) {
    return 0;
  }
  // Along the edge, which runs from the first vertex in the direction (-ny, nx).
  const float a =
      -edge->ny * (centre[0] - edge->first[0]) + edge->nx * (centre[1] - edge->first[1]);
  if (a < 0.0f) {
    return _r3xCircleHitsPoint2D(centre, radius, edge->first);
  }
  if (a > edge->length) {
    return _r3xCircleHitsPoint2D(centre, radius, edge->second);
  }
  return 1;
}

std::int32_t _r3xSphereHitsEdge(const float* centre, float radius, const R3xXYZEdge* edge) {
  const float* first = edge->first;
  const float* second = edge->second;
  const float length = edge->length;
  // Without a length there is no edge to reach: it stops nothing, at rest as when swept.
  if (!(length > 0.0f)) {
    return 0;
  }
  const float v[3] = {centre[0] - first[0], centre[1] - first[1], centre[2] - first[2]};
  const float a = (v[0] * (second[0] - first[0]) + v[1] * (second[1] - first[1]) +
                   v[2] * (second[2] - first[2])) /
                  length;
  const float r2 = radius * radius;
  if (!(v[0] * v[0] + v[1] * v[1] + v[2] * v[2] - a * a < r2)) {
    return 0;
  }
  if (a < 0.0f) {
    return a > -radius && squaredDistance3D(centre, first) < r2 ? 1 : 0;
  }
  if (a > length) {
    return a < length + radius && squaredDistance3D(centre, second) < r2 ? 1 : 0;
  }
  return 1;
}

std::int32_t _r3xSphereHitsPlane(const float* centre, float radius, const R3xPlane* plane) {
  const float s = plane->a * centre[0] + plane->b * centre[1] + plane->c * centre[2] + plane->d;
  return withinSlab(s, radius) ? 1 : 0;
}

std::int32_t _r3xSphereHitsEdgePolygon(const float* centre, float radius,
                                       const R3xEdgePolygon* polygon) {
  const float* n = polygon->normal;
  const float s = n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2] + polygon->distance;
  if (!withinSlab(s, radius)) {
    return 0;
  }
  const float projected[3] = {centre[0] - n[0] * s, centre[1] - n[1] * s, centre[2] - n[2] * s};
  if (_r3xPointInEdgePolygon(projected, polygon) == R3X_POINT_INSIDE) {
    return 1;
  }
  const float r2 = radius * radius;
  for (std::int32_t i = 0; i < polygon->edgeCount; ++i) {
    if (squaredDistanceToEdge(centre, polygon->edges[i]) < r2) {
      return 1;
    }
  }
  return 0;
}

std::int32_t _r3xSphereHitsFacePlane(const float* centre, float radius, const R3xRegionFace* face) {
  const float* n = face->polygon.normal;
  const float s = n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2] + face->polygon.distance;
  return withinSlab(s, radius) ? 1 : 0;
}
