// Segments for the collision tests: a straight motion from a start to an end with a radius.
#pragma once

#include <cmath>

#include "engine/collide/sweep_segment.h"

inline R3xSweepSegment makeSegment(const float* start, const float* end, float radius) {
  R3xSweepSegment segment{};
  float length2 = 0.0f;
  for (int i = 0; i < 3; ++i) {
    segment.start[i] = start[i];
    segment.end[i] = end[i];
    length2 += (end[i] - start[i]) * (end[i] - start[i]);
  }
  segment.radius = radius;
  segment.distance = std::sqrt(length2);
  for (int i = 0; i < 3; ++i) {
    segment.direction[i] = segment.distance > 0.0f ? (end[i] - start[i]) / segment.distance : 0.0f;
  }
  return segment;
}

struct Vec3 {
  float x;
  float y;
  float z;
  const float* data() const { return &x; }
};

inline R3xSweepSegment makeSegment(Vec3 start, Vec3 end, float radius) {
  return makeSegment(start.data(), end.data(), radius);
}
