#include "battle/arena/overview_camera.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "battle/arena/angle_units.h"
#include "engine/r3x_core.h"

bool PlaceOverviewCamera(R3xWorld* world, R3xCamera* camera) {
  if (world == nullptr) {
    return false;
  }
  const R3xRegion* first = nullptr;
  double sumX = 0.0;
  double sumY = 0.0;
  std::uint32_t count = 0;
  for (std::uint32_t i = 0; i < world->regions.capacity; ++i) {
    const R3xRegion* region = r3xGetRegion(world, static_cast<std::int32_t>(i));
    if (region == nullptr) {
      continue;
    }
    if (first == nullptr) {
      first = region;
    }
    sumX += region->bounds.x;
    sumY += region->bounds.y;
    ++count;
  }
  if (first == nullptr) {
    return false;
  }
  const double dx = sumX / count - first->bounds.x;
  const double dy = sumY / count - first->bounds.y;
  R3xPlacement placement{};
  placement.x = first->bounds.x;
  placement.y = first->bounds.y;
  placement.z = first->bounds.z;
  // Heading turns from +x toward +y, 512 units a turn.
  placement.heading =
      WrapAngleUnits(static_cast<float>(std::atan2(dy, dx) * 256.0 / std::numbers::pi));
  return r3xSetCameraPlacement(world, camera, &placement) == 0;
}
