// Swept tests of a moving sphere against a single point: the XY_VERTEX and XYZ_VERTEX obstacles,
// the end vertices of edges, and the enlarged-radius pre-test of objects.
// Results: 1 with the time when the sphere touches within the motion, else 0.
#pragma once

#include <cstdint>

struct R3xSweepSegment;

// XY_VERTEX, in x and y only (with the direction's x and y as they are). 1 with the time of the
// hit, or 0. A point level with the start or behind it (along the motion no more than 1/1024) is
// never hit. Without R3X_SWEEP_EXACT the time is the estimate "along minus radius", which may be
// negative.
std::int32_t _r3xSweepCirclePoint2D(const R3xSweepSegment* segment, const float* point,
                                    std::uint32_t options, float* time);
// XYZ_VERTEX: the same in 3D; the estimate is never negative.
std::int32_t _r3xSweepSpherePoint(const R3xSweepSegment* segment, const float* point,
                                  std::uint32_t options, float* time);
// Whether the sphere may touch the point during the motion: 1 or 0.
std::int32_t _r3xSweepTouchesPoint(const R3xSweepSegment* segment, const float* point);

// The time at which a sphere approaching a point reaches it, given the distance still to go
// along the motion and k = radius^2 - (distance across the motion)^2 > 0: the estimate
// "along - radius" (raised to 0 with raiseEstimate) unless exact, else 0 when already within,
// else along - sqrt(k). 1 with the time when it is below the motion's distance, else 0.
std::int32_t _r3xApproachTime(float along, float k, float radius, float distance, bool exact,
                              bool raiseEstimate, float* time);
