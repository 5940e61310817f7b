#include "engine/collide/point_in_polygon.h"

#include <cmath>
#include <initializer_list>

#include "engine/collide/collision_math.h"
#include "engine/core/math_plane.h"

namespace {

// The two coordinates left by the projection: cross = (q[u] - v[u]) e[w] - (q[w] - v[w]) e[u].
struct Projection {
  int u;
  int w;
  // The normal's component along the dropped axis.
  float dominant;
};

Projection projectionOf(const float* n) {
  const float a = std::fabs(n[0]);
  const float b = std::fabs(n[1]);
  const float c = std::fabs(n[2]);
  if (a > b && a > c) {
    return {1, 2, n[0]};
  }
  if (c > b) {
    return {0, 1, n[2]};
  }
  return {2, 0, n[1]};
}

// The point on the edge's line: within the edge (with the tolerance) in every projected
// coordinate along which the edge extends.
bool withinEdge(const float* q, const float* first, const float* second, const Projection& p) {
  for (const int axis : {p.u, p.w}) {
    const float extent = second[axis] - first[axis];
    if (extent == 0.0f) {
      continue;
    }
    const float t = _r3xRatio(q[axis] - first[axis], extent);
    if (!(t >= -R3X_COLLIDE_TOLERANCE && t <= 1.0f + R3X_COLLIDE_TOLERANCE)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::int32_t _r3xPointInEdgePolygon(const float* point, const R3xEdgePolygon* polygon) {
  const Projection p = projectionOf(polygon->normal);
  // Taken from second to first vertex when the plane faces the negative axis.
  const float orientation = p.dominant > 0.0f ? 1.0f : -1.0f;
  bool bounded = false;
  for (std::int32_t i = 0; i < polygon->edgeCount; ++i) {
    const float* first = polygon->edges[i].first;
    const float* second = polygon->edges[i].second;
    const float eu = (second[p.u] - first[p.u]) * orientation;
    const float ew = (second[p.w] - first[p.w]) * orientation;
    if (eu == 0.0f && ew == 0.0f) {
      continue;
    }
    bounded = true;
    const float cross = (point[p.u] - first[p.u]) * ew - (point[p.w] - first[p.w]) * eu;
    if (cross > -R3X_COLLIDE_TOLERANCE && cross < R3X_COLLIDE_TOLERANCE) {
      return withinEdge(point, first, second, p) ? R3X_POINT_ON_EDGE : R3X_POINT_OUTSIDE;
    }
    // Negative, or not a number: outside.
    if (!(cross > 0.0f)) {
      return R3X_POINT_OUTSIDE;
    }
  }
  // Without an edge that extends (no edges, or all of one point) it encloses nothing.
  return bounded ? R3X_POINT_INSIDE : R3X_POINT_OUTSIDE;
}
