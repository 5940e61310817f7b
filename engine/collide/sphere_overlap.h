// Static obstacle tests: whether a sphere (a circle, for the XY kinds, which use x and y only)
// at rest overlaps one obstacle feature. 1 overlap, 0 none. Every comparison is strict: touching
// at exactly the radius is no overlap.
// Results: 1 overlap, 0 none.
#pragma once

#include <cstdint>

struct R3xXYLine;
struct R3xXYZEdge;
struct R3xPlane;
struct R3xEdgePolygon;
struct R3xRegionFace;

// XY_VERTEX: the point within the radius in x and y.
std::int32_t _r3xCircleHitsPoint2D(const float* centre, float radius, const float* point);
// XYZ_VERTEX.
std::int32_t _r3xSphereHitsPoint(const float* centre, float radius, const float* point);
// XY_LINE: the line within the radius. A line or edge of length 0 (through one point) overlaps
// nothing.
std::int32_t _r3xCircleHitsLine2D(const float* centre, float radius, const R3xXYLine* line);
// XY_EDGE: the line within the radius and, beyond an end of the edge, that end's vertex too.
std::int32_t _r3xCircleHitsEdge2D(const float* centre, float radius, const R3xXYLine* edge);
// XYZ_EDGE: the segment within the radius. An edge of length 0 overlaps nothing.
std::int32_t _r3xSphereHitsEdge(const float* centre, float radius, const R3xXYZEdge* edge);
// PLANE.
std::int32_t _r3xSphereHitsPlane(const float* centre, float radius, const R3xPlane* plane);
// EDGEPOLYGON: the plane within the radius, and the centre's projection strictly inside the
// polygon or one of its edges within the radius.
std::int32_t _r3xSphereHitsEdgePolygon(const float* centre, float radius,
                                       const R3xEdgePolygon* polygon);
// A region wall used as an obstacle: its plane within the radius.
std::int32_t _r3xSphereHitsFacePlane(const float* centre, float radius, const R3xRegionFace* face);
