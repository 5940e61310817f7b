// Obstacle geometry for the collision tests, built as the loaders build it.
#pragma once

#include <cmath>
#include <initializer_list>

#include "engine/r3x.h"
#include "segment_maker.h"

// A ring of edges over up to eight corners, with the plane's normal and d.
struct Polygon {
  float corners[8][3];
  R3xXYZEdge edges[8];
  R3xEdgePolygon record;

  Polygon(std::initializer_list<Vec3> points, Vec3 normal, float d = 0.0f)
      : corners{}, edges{}, record{} {
    int k = 0;
    for (const Vec3& p : points) {
      corners[k][0] = p.x;
      corners[k][1] = p.y;
      corners[k][2] = p.z;
      ++k;
    }
    for (int i = 0; i < k; ++i) {
      float* a = corners[i];
      float* b = corners[(i + 1) % k];
      const float dx = b[0] - a[0];
      const float dy = b[1] - a[1];
      const float dz = b[2] - a[2];
      edges[i] = {R3X_TYPE_XYZ_EDGE, a, b, std::sqrt(dx * dx + dy * dy + dz * dz)};
    }
    record.type = R3X_TYPE_EDGE_POLYGON;
    record.edgeCount = k;
    record.edges = edges;
    record.normal[0] = normal.x;
    record.normal[1] = normal.y;
    record.normal[2] = normal.z;
    record.distance = d;
  }
  Polygon(const Polygon&) = delete;
  Polygon& operator=(const Polygon&) = delete;
};

// An XY edge (or line) from a to b: unit normal (dy, -dx) / length, so that it runs from a in the
// direction (-ny, nx).
struct XYEdge {
  float a[3];
  float b[3];
  R3xXYLine record;

  XYEdge(Vec3 from, Vec3 to) : a{from.x, from.y, from.z}, b{to.x, to.y, to.z}, record{} {
    const float dx = b[0] - a[0];
    const float dy = b[1] - a[1];
    const float length = std::sqrt(dx * dx + dy * dy);
    record.type = R3X_TYPE_XY_EDGE;
    record.nx = dy / length;
    record.ny = -dx / length;
    record.offset = -(record.nx * b[0] + record.ny * b[1]);
    record.first = a;
    record.second = b;
    record.length = length;
  }
  XYEdge(const XYEdge&) = delete;
  XYEdge& operator=(const XYEdge&) = delete;
};

// A line or XY edge through one point, as the loaders store it: no normal, length 0.
struct PointXYEdge {
  float a[3];
  R3xXYLine record;

  explicit PointXYEdge(Vec3 at)
      : a{at.x, at.y, at.z}, record{R3X_TYPE_XY_EDGE, 0.0f, 0.0f, 0.0f, a, a, 0.0f} {}
  PointXYEdge(const PointXYEdge&) = delete;
  PointXYEdge& operator=(const PointXYEdge&) = delete;
};

struct Edge {
  float a[3];
  float b[3];
  R3xXYZEdge record;

  Edge(Vec3 from, Vec3 to) : a{from.x, from.y, from.z}, b{to.x, to.y, to.z}, record{} {
    const float dx = b[0] - a[0];
    const float dy = b[1] - a[1];
    const float dz = b[2] - a[2];
    record = {R3X_TYPE_XYZ_EDGE, a, b, std::sqrt(dx * dx + dy * dy + dz * dz)};
  }
  Edge(const Edge&) = delete;
  Edge& operator=(const Edge&) = delete;
};

// The square 0..4 in x and y at z = 0, its corners clockwise seen from +z.
inline const Vec3 kSquare[] = {{0, 0, 0}, {0, 4, 0}, {4, 4, 0}, {4, 0, 0}};
