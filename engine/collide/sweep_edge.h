// Swept tests of a moving sphere against edges: XY_EDGE (in x and y) and XYZ_EDGE. Both report
// the touched feature: the edge itself or the end vertex that the sphere reaches first.
// Results: nothing; the touch is written to the sweep result.
#pragma once

#include <cstdint>

struct R3xSweepSegment;
struct R3xSweepResult;
struct R3xXYLine;
struct R3xXYZEdge;

// Starts-behind, touch, cross and leave as the line test, with the crossing and the touch limited
// to the edge; beyond its ends the end vertices (kind XY_VERTEX) are tested. An edge of length 0
// stops nothing.
void _r3xSweepCircleEdge2D(const R3xSweepSegment* segment, const R3xXYLine* edge,
                           std::uint32_t options, R3xSweepResult* result);
// Touch only: the edge (kind XYZ_EDGE) or an end vertex (XYZ_VERTEX). An edge of length 0 stops
// nothing.
void _r3xSweepSphereEdge(const R3xSweepSegment* segment, const R3xXYZEdge* edge,
                         std::uint32_t options, R3xSweepResult* result);
