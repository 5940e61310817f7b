// Whether a point of a polygon's plane lies inside the polygon.
#pragma once

#include <cstdint>

struct R3xEdgePolygon;

// Projects along the normal's largest component (x, then z, then y on ties) and tests the point
// against every edge: 1 inside, 0 on an edge (within 1/1024), -1 outside. The corners run
// clockwise seen from the side the normal faces. An edge with no extent in the projection bounds
// nothing and is passed over; a polygon with no other edge contains no point.
std::int32_t _r3xPointInEdgePolygon(const float* point, const R3xEdgePolygon* polygon);
