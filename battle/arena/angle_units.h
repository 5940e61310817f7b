// Angles of the arena's objects, in units of 512 to a full turn.
#pragma once

#include <cmath>

// The largest angle an object accepts from outside; a float this large still keeps eighths of a
// unit, and anything larger (or not a number) is refused where it enters.
inline constexpr float kMaxAngleUnits = 1048576.0f;

inline bool IsUsableAngle(float angle) {
  return std::isfinite(angle) && std::fabs(angle) <= kMaxAngleUnits;
}

// The angle brought into [0, 512). Equal to adding or subtracting whole turns one at a time, but
// in one step, so that it ends for any value; an angle that is not a number becomes 0.
inline float WrapAngleUnits(float angle) {
  if (!std::isfinite(angle)) {
    return 0.0f;
  }
  if (angle >= 0.0f && angle < 512.0f) {
    return angle;
  }
  float wrapped = std::fmod(angle, 512.0f);
  if (wrapped < 0.0f) {
    wrapped += 512.0f;
  }
  // A tiny negative angle plus a turn rounds to 512 itself.
  return wrapped >= 512.0f ? wrapped - 512.0f : wrapped;
}
