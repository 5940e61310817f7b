// The day clock under any sequence of server time messages and frames: each record is a tag
// byte and, for the messages, their payload (a time of day also takes a frame time). Whatever
// the values, the steps stay within the tables and the sun and moon within a turn.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/byte_reader.h"
#include "battle/effects/ambient_light.h"
#include "battle/effects/ambient_table.h"
#include "battle/effects/day_clock.h"
#include "platform/kernel/clock.h"

namespace {

constexpr std::size_t kTimeBaseSize = 16;
constexpr std::size_t kTimeOfDaySize = 24;

bool IsStep(std::int32_t step) { return step >= 0 && step < kTimeOfDaySteps; }
bool IsAngle(float angle) { return angle >= 0.0f && angle < 512.0f; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::VirtualClock clock;
  platform::ScopedProcessClock scopedClock(clock);
  arena::ByteReader reader(data, size);
  SkyState sky;
  sky.moonOrbitPeriod = reader.U32();
  sky.farCloudVelocity = reader.F32();
  sky.weatherLevel = 0.5f;
  CAmbientLight ambient;
  const DayLightTargets targets{nullptr, &ambient, nullptr};
  CDayClock day(sky);
  while (reader.ok() && reader.remaining() > 0) {
    switch (reader.U8() % 3) {
      case 0:
        day.SyncTime(reader.Span(kTimeBaseSize));
        break;
      case 1: {
        const std::uint32_t now = reader.U32();
        day.SetTimeOfDay(reader.Span(kTimeOfDaySize), now, targets);
        break;
      }
      default:
        clock.Advance(reader.U16());
        day.UpdateAtmosphere(targets, false);
        break;
    }
    if (!IsStep(sky.step) || !IsStep(day.TimeOfDayStep()) || !IsStep(day.TargetStep()) ||
        !IsAngle(sky.sunAngle) || !IsAngle(sky.moonAngle)) {
      std::abort();
    }
  }
  return 0;
}
