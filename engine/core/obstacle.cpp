#include "engine/core/obstacle.h"

#include "engine/core/memory.h"
#include "engine/core/obstacle_internal.h"

namespace {

void freeGeometry(const R3xObstacle& obstacle) {
  switch (obstacle.kind) {
    case R3X_OBSTACLE_XY_VERTEX:
    case R3X_OBSTACLE_XYZ_VERTEX:
      // A vertex of the region, not a record of the obstacle.
      return;
    case R3X_OBSTACLE_EDGEPOLYGON: {
      auto* polygon = static_cast<R3xEdgePolygon*>(obstacle.geometry);
      if (polygon != nullptr) {
        r3xFree(polygon->edges);
      }
      r3xFree(polygon);
      return;
    }
    default:
      r3xFree(obstacle.geometry);
      return;
  }
}

void copyVertex(const float* vertex, float* out) {
  out[0] = vertex[0];
  out[1] = vertex[1];
  out[2] = vertex[2];
}

}  // namespace

void _r3xFreeObstacleList(R3xObstacleList* list) {
  if (list == nullptr) {
    return;
  }
  if (list->obstacles != nullptr) {
    for (std::uint32_t i = 0; i < list->obstacleCount; ++i) {
      freeGeometry(list->obstacles[i]);
      r3xFree(list->obstacles[i].userData);
    }
  }
  r3xFree(list->obstacles);
  r3xFree(list->proximal);
  r3xFree(list);
}

std::int32_t r3xGetObstacleKind(const R3xObstacle* obstacle) { return obstacle->kind; }

std::int32_t r3xGetPlaneNormal(const R3xPlane* plane, float* out) {
  out[0] = plane->a;
  out[1] = plane->b;
  out[2] = plane->c;
  return 0;
}

std::int32_t r3xGetEdgeStart(const R3xXYZEdge* edge, float* out) {
  copyVertex(edge->first, out);
  return 0;
}

std::int32_t r3xGetEdgeEnd(const R3xXYZEdge* edge, float* out) {
  copyVertex(edge->second, out);
  return 0;
}

float r3xGetEdgePolygonPlane(const R3xEdgePolygon* polygon, float* out) {
  out[0] = polygon->normal[0];
  out[1] = polygon->normal[1];
  out[2] = polygon->normal[2];
  return polygon->distance;
}
