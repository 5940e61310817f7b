#include "battle/effects/sound_front_end.h"

#include <cmath>

#include "battle/arena/arena_geometry.h"
#include "battle/core/sound_code.h"
#include "battle/effects/sound.h"
#include "engine/r3x_core.h"

namespace {

constexpr float kDegreesPerUnit = 0.703125f;  // 360 / 512
// A full turn plus the quarter turn from the angle's zero (along +y) to the heading's.
constexpr float kBearingOffsetUnits = 640.0f;

}  // namespace

SoundBearing LocateSound(const R3xPlacement& listener, float x, float y) {
  const float dx = x - listener.x;
  const float dy = y - listener.y;
  int exact = 0;
  const float angle = r3xAtan2Units(dx, dy, &exact);
  const float degrees = (kBearingOffsetUnits - angle - listener.heading) * kDegreesPerUnit;
  const float ax = std::fabs(dx);
  const float ay = std::fabs(dy);
  const float larger = ay < ax ? ax : ay;
  const float smaller = ay < ax ? ay : ax;
  SoundBearing result;
  result.distance = static_cast<int>(larger + smaller / 2.0f);
  result.bearing = (static_cast<int>(degrees) + 360) % 360;
  return result;
}

int PlaySoundAt(std::uint32_t owner, std::uint32_t code, float x, float y) {
  SoundBearing where;
  if ((code & SOUND_POSITIONAL) != 0) {
    where = LocateSound(gListenerPlacement, x, y);
  }
  if (gSound == nullptr) {
    return 0;
  }
  if ((code & SOUND_LOOP) != 0) {
    return gSound->PlayLoop(owner, code, where.distance, where.bearing);
  }
  return gSound->Play(code, where.distance, where.bearing);
}

void PlaySoundAtDistance(std::uint32_t /*owner*/, std::uint32_t code, int distance) {
  if ((code & (SOUND_POSITIONAL | SOUND_LOOP)) != 0 || gSound == nullptr) {
    return;
  }
  gSound->Play(code | SOUND_POSITIONAL, distance, 0);
}
