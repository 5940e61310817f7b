// Bounding-box pre-tests that reject far vertices and edges before the exact tests. The motion's
// box is, per axis, [min(start, end) - radius, max(start, end) + radius]; every comparison is
// strict, so a point on a face of the box is outside.
// Results: 1 when the boxes overlap, else 0.
#pragma once

#include <cstdint>

struct R3xSweepSegment;

// 1 when the point lies strictly inside the box in x and y, else 0.
std::int32_t _r3xBoxOverlap2D(const float* point, const float* start, const float* end,
                              float radius);
// The same in x, y and z.
std::int32_t _r3xBoxOverlap3D(const float* point, const float* start, const float* end,
                              float radius);
// 1 when the box of the edge from first to second overlaps the box of the motion from the
// segment's start to end strictly on every axis, else 0.
std::int32_t _r3xBoxOverlap3DB(const R3xSweepSegment* segment, const float* end, const float* first,
                               const float* second, float radius);
