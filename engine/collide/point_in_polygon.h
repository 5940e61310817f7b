// Whether a point of a polygon's plane lies inside the polygon.
// Results: R3X_POINT_INSIDE, R3X_POINT_ON_EDGE or R3X_POINT_OUTSIDE (ordered: compare with them).
#pragma once

#include <cstdint>

struct R3xEdgePolygon;

inline constexpr std::int32_t R3X_POINT_INSIDE = 1;
inline constexpr std::int32_t R3X_POINT_ON_EDGE = 0;
inline constexpr std::int32_t R3X_POINT_OUTSIDE = -1;

// Projects along the normal's largest component (x, then z, then y on ties) and tests the point
// against every edge: inside, on an edge (within 1/1024) or outside. The corners run
// clockwise seen from the side the normal faces. An edge with no extent in the projection bounds
// nothing and is passed over; a polygon with no other edge contains no point.
std::int32_t _r3xPointInEdgePolygon(const float* point, const R3xEdgePolygon* polygon);
