// Static obstacle tests of a sphere list at rest at the actor it is attached to: its bounding
// sphere first, then every member. 1 when a member overlaps, else 0. They name no member.
// Results: 1 when a member overlaps, else 0.
#pragma once

#include <cstdint>

struct R3xSphereList;
struct R3xXYLine;
struct R3xXYZEdge;
struct R3xPlane;
struct R3xEdgePolygon;

// The vertex kinds are tested in the list's own frame.
std::int32_t _r3xSphereListHitsPoint2D(const R3xSphereList* list, const float* point);
// extraRadius enlarges the bounding sphere and every member (the positions of other actors).
std::int32_t _r3xSphereListHitsPoint(const R3xSphereList* list, float extraRadius,
                                     const float* point);
// The other kinds test each member's world centre.
std::int32_t _r3xSphereListHitsLine2D(const R3xSphereList* list, const R3xXYLine* line);
std::int32_t _r3xSphereListHitsPlane(const R3xSphereList* list, const R3xPlane* plane);
std::int32_t _r3xSphereListHitsEdge2D(const R3xSphereList* list, const R3xXYLine* edge);
std::int32_t _r3xSphereListHitsEdge(const R3xSphereList* list, const R3xXYZEdge* edge);
std::int32_t _r3xSphereListHitsEdgePolygon(const R3xSphereList* list,
                                           const R3xEdgePolygon* polygon);
