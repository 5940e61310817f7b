// A region's collision data: its obstacles (region vertices, 2D lines and edges, 3D edges,
// planes and edge polygons, each possibly leading into a neighbouring region) and the accessors
// through which collision callbacks read their geometry.
// Results: 0 or a negative R3X_ERR_ code; values.
#pragma once

#include <cstdint>

#include "engine/core/math_plane.h"

inline constexpr std::int32_t R3X_OBSTACLE_XY_VERTEX = 8;
inline constexpr std::int32_t R3X_OBSTACLE_XYZ_VERTEX = 9;
inline constexpr std::int32_t R3X_OBSTACLE_XY_LINE = 10;
inline constexpr std::int32_t R3X_OBSTACLE_XY_EDGE = 11;
inline constexpr std::int32_t R3X_OBSTACLE_XYZ_EDGE = 12;
inline constexpr std::int32_t R3X_OBSTACLE_PLANE = 13;
inline constexpr std::int32_t R3X_OBSTACLE_EDGEPOLYGON = 14;
// Only in world files: stored as an edge polygon.
inline constexpr std::int32_t R3X_OBSTACLE_EDGEWALL = 18;

inline constexpr std::uint32_t R3X_OBSTACLE_FLOOR = 0x1;
inline constexpr std::uint32_t R3X_OBSTACLE_CUTTING = 0x2;

// R3X_TYPE_XY_LINE or R3X_TYPE_XY_EDGE: the points whose x and y satisfy
// nx * x + ny * y + offset = 0; the edge is the segment from A to B of that line.
struct R3xXYLine {
  std::int32_t type;
  // The unit normal; (0, 0) for a line through one point (length 0), which the loaders give
  // the reciprocal length 1.
  float nx;
  float ny;
  float offset;
  // Into the region's vertex array.
  float* first;
  float* second;
  float length;
};

// R3X_TYPE_PLANE.
struct R3xPlane {
  std::int32_t type;
  float a;
  float b;
  float c;
  float d;
};

// R3X_TYPE_OBSTACLE.
struct R3xObstacle {
  std::int32_t type;
  // One of the R3X_OBSTACLE_ kinds, never R3X_OBSTACLE_EDGEWALL.
  std::int32_t kind;
  // Kinds 8 and 9: a vertex in the region's vertex array. Otherwise the owned geometry record
  // of the kind: R3xXYLine (10, 11), R3xXYZEdge (12), R3xPlane (13), R3xEdgePolygon with its
  // owned edge array (14).
  void* geometry;
  // The region behind the obstacle; the obstacle's own region when it leads nowhere.
  std::int32_t neighbour;
  // -1 when the world file named the neighbour, else 0.
  std::int32_t neighbourGiven;
  // R3X_OBSTACLE_FLOOR, R3X_OBSTACLE_CUTTING.
  std::uint32_t flags;
  // Owned, or null.
  void* userData;
};

struct R3xProximalRegion {
  std::int32_t one;
  std::int32_t region;
  float distance;
};

// R3X_TYPE_OBSTACLE_LIST: owned by its region.
struct R3xObstacleList {
  std::int32_t type;
  // The plane of the region's floor face, or zeros.
  float floor[4];
  std::uint32_t obstacleCount;
  // Collision takes this many leading obstacles as the cutting ones.
  std::uint32_t cuttingCount;
  // Owned.
  R3xObstacle* obstacles;
  std::uint32_t proximalCount;
  // Owned, or null.
  R3xProximalRegion* proximal;
};

// The kind of an obstacle (the second word of the record).
std::int32_t r3xGetObstacleKind(const R3xObstacle* obstacle);
// The plane's a, b, c. 0.
std::int32_t r3xGetPlaneNormal(const R3xPlane* plane, float* out);
// The xyz of the edge's first or second vertex. 0.
std::int32_t r3xGetEdgeStart(const R3xXYZEdge* edge, float* out);
std::int32_t r3xGetEdgeEnd(const R3xXYZEdge* edge, float* out);
// The polygon's normal into out; returns its plane distance.
float r3xGetEdgePolygonPlane(const R3xEdgePolygon* polygon, float* out);
