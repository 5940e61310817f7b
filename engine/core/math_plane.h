// Planes of polygons: a unit normal n and a distance d, so that a point q lies on the plane when
// n . q + d = 0. The normal faces the side from which the first three corners run clockwise.
// Results: R3X_DONE, or R3X_PLANE_TOO_FEW_CORNERS.
#pragma once

#include <cstdint>

#include "engine/core/error.h"

// A polygon over a shared vertex array (type 52): corner i is vertices[3 * vertexIndexes[i]].
struct R3xIndexedPolygon {
  std::int32_t type;
  std::int32_t vertexCount;
  std::int32_t* vertexIndexes;
  float* vertices;
  float normal[3];
  float distance;
};

// An edge between two xyz vertices (type 50).
struct R3xXYZEdge {
  std::int32_t type;
  float* first;
  float* second;
  // 0 when the two vertices are one point (world files hold such edges): never a divisor.
  float length;
};

// Edge polygons' axis codes.
inline constexpr std::int32_t R3X_AXIS_CODE_Z = 1;
inline constexpr std::int32_t R3X_AXIS_CODE_X = 2;
inline constexpr std::int32_t R3X_AXIS_CODE_Y = 3;

// A polygon as a ring of edges (type 51); edge i starts at corner i.
struct R3xEdgePolygon {
  std::int32_t type;
  // Below 3, even 0 (edges then null), for an edge wall over a face of fewer corners; the
  // plane is then the face's.
  std::int32_t edgeCount;
  R3xXYZEdge* edges;
  float normal[3];
  float distance;
  // The axis along which the normal is largest: R3X_AXIS_CODE_X, _Y or _Z.
  std::int32_t axisCode;
};

// Fewer than three corners or edges: no plane.
inline constexpr int R3X_PLANE_TOO_FEW_CORNERS = -1;

// The plane of the first three corners: R3X_DONE, or R3X_PLANE_TOO_FEW_CORNERS.
int r3xPlaneFromIndexedPolygon(R3xIndexedPolygon* polygon);
// The plane of the first vertices of the first three edges: R3X_DONE, or
// R3X_PLANE_TOO_FEW_CORNERS with fewer than 3 edges.
int r3xEdgePolygonPlane(R3xEdgePolygon* polygon);
