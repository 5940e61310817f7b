// The moving sphere as every collision test sees it.
// Results: records only.
#pragma once

struct R3xSweepSegment {
  float start[3];
  float end[3];
  float radius;
  // A unit vector, or zero for a motion of length 0.
  float direction[3];
  // The length of the motion. Times of contact are distances along the direction from the start,
  // in the same units; a time is a contact only when it is below the distance.
  float distance;
};
