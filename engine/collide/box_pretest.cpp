#include "engine/collide/box_pretest.h"

#include <algorithm>

#include "engine/collide/sweep_segment.h"

namespace {

std::int32_t pointInBox(const float* point, const float* start, const float* end, float radius,
                        int axes) {
  for (int i = 0; i < axes; ++i) {
    const float lo = std::min(start[i], end[i]) - radius;
    const float hi = std::max(start[i], end[i]) + radius;
    if (!(lo < point[i] && point[i] < hi)) {
      return 0;
    }
  }
  return 1;
}

}  // namespace

std::int32_t _r3xBoxOverlap2D(const float* point, const float* start, const float* end,
                              float radius) {
  return pointInBox(point, start, end, radius, 2);
}

std::int32_t _r3xBoxOverlap3D(const float* point, const float* start, const float* end,
                              float radius) {
  return pointInBox(point, start, end, radius, 3);
}

std::int32_t _r3xBoxOverlap3DB(const R3xSweepSegment* segment, const float* end, const float* first,
                               const float* second, float radius) {
  for (int i = 0; i < 3; ++i) {
    const float lo = std::min(segment->start[i], end[i]) - radius;
    const float hi = std::max(segment->start[i], end[i]) + radius;
    const float edgeMin = std::min(first[i], second[i]);
    const float edgeMax = std::max(first[i], second[i]);
    if (!(edgeMax > lo && edgeMin < hi)) {
      return 0;
    }
  }
  return 1;
}
