// Swept obstacle tests of the query's sphere list: the bounding sphere on the query's segment
// first (no touch ends the test), then every member moving along the same motion. The earliest
// member touch (of equal times the lower member) gives the touch, its feature and the query's
// memberIndex. For lines, planes, XY edges and polygons the bounding sphere's starts-behind and
// crossing stand for the whole list, and the list leaves only when every member leaves, at the
// latest of their times.
// Results: 1 with the touch found, else 0; the others write the sweep result.
#pragma once

#include <cstdint>

struct R3xSweepQuery;
struct R3xSweepResult;
struct R3xXYLine;
struct R3xXYZEdge;
struct R3xPlane;
struct R3xEdgePolygon;

// The vertex kinds: 1 with the time of the earliest member hit, or 0; the bounding sphere only
// decides whether the members are tested.
std::int32_t _r3xSweepSphereListPoint2D(R3xSweepQuery* query, const float* point,
                                        std::uint32_t options, float* time);
std::int32_t _r3xSweepSphereListPoint(R3xSweepQuery* query, const float* point,
                                      std::uint32_t options, float* time);
void _r3xSweepSphereListLine2D(R3xSweepQuery* query, const R3xXYLine* line, std::uint32_t options,
                               R3xSweepResult* result);
void _r3xSweepSphereListPlane(R3xSweepQuery* query, const R3xPlane* plane, std::uint32_t options,
                              R3xSweepResult* result);
void _r3xSweepSphereListEdge2D(R3xSweepQuery* query, const R3xXYLine* edge, std::uint32_t options,
                               R3xSweepResult* result);
void _r3xSweepSphereListEdge(R3xSweepQuery* query, const R3xXYZEdge* edge, std::uint32_t options,
                             R3xSweepResult* result);
void _r3xSweepSphereListEdgePolygon(R3xSweepQuery* query, const R3xEdgePolygon* polygon,
                                    std::uint32_t options, R3xSweepResult* result);
