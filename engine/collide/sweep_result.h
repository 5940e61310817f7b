// What a swept line, plane, edge or polygon test found.
// Results: records only.
#pragma once

#include <cstdint>

// The tests clear every flag first and write a time only together with its flag.
struct R3xSweepResult {
  // The start lay on the feature's back side; distances were mirrored.
  std::int32_t startsBehind;
  // The sphere's surface reaches the feature at touchTime.
  std::int32_t touch;
  float touchTime;
  // The centre passes through the line, plane or polygon at crossTime.
  std::int32_t cross;
  float crossTime;
  // The sphere gets wholly behind the feature at leaveTime.
  std::int32_t leave;
  float leaveTime;
  // The touched feature: an R3X_OBSTACLE_ kind and its geometry (the tested record, one of its
  // edges, or a vertex).
  std::int32_t featureKind;
  const void* feature;
};
