// Swept test of a moving sphere against an edge polygon.
// Results: nothing; the touch is written to the sweep result.
#pragma once

#include <cstdint>

struct R3xSweepSegment;
struct R3xSweepResult;
struct R3xEdgePolygon;

// Starts-behind, cross and leave as the plane test, with the crossing limited to the polygon; the
// touch is with the polygon's face (kind EDGEPOLYGON) or, beside the face, the earliest of its
// edges (XYZ_EDGE) or corners (XYZ_VERTEX).
void _r3xSweepSphereEdgePolygon(const R3xSweepSegment* segment, const R3xEdgePolygon* polygon,
                                std::uint32_t options, R3xSweepResult* result);
