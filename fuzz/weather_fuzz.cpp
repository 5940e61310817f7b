// The weather under any sequence of the server's weather and time messages, global parameters
// and frames: each record is a tag byte and, for the messages, a payload of any length up to
// 31 bytes. Whatever the values, the weather level stays within 0 to 1, the queue within its
// bound and a flash ends at the latest by the frame after its time.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/byte_reader.h"
#include "battle/core/global_params.h"
#include "battle/effects/atmosphere.h"
#include "engine/r3x.h"
#include "platform/kernel/clock.h"

namespace {

constexpr std::size_t kLongestPayload = 32;

std::span<const std::uint8_t> Payload(arena::ByteReader& reader) {
  return reader.Span(reader.U8() % kLongestPayload);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::VirtualClock clock;
  platform::ScopedProcessClock scopedClock(clock);
  arena::ByteReader reader(data, size);
  std::uint32_t draws = reader.U32();
  auto random = [&draws] { return draws = draws * 1103515245u + 12345u; };
  CAtmosphere atmosphere([](std::uint32_t, std::uint32_t, float, float) { return 1; }, random,
                         random);
  R3xCamera camera{};
  camera.farDistance = reader.F32();
  atmosphere.Attach(nullptr, nullptr, &camera);
  std::uint32_t frameTime = reader.U32();
  while (reader.ok() && reader.remaining() > 0) {
    switch (reader.U8() % 5) {
      case 0:
        atmosphere.QueueWeather(Payload(reader));
        break;
      case 1:
        atmosphere.EnableWeather(Payload(reader), frameTime);
        break;
      case 2:
        atmosphere.SyncTime(Payload(reader));
        break;
      case 3: {
        GlobalParamValues values;
        for (std::uint32_t& word : values.skyWords) {
          word = reader.U32();
        }
        atmosphere.ApplyGlobalParams(values);
        break;
      }
      default: {
        clock.Advance(reader.U16());
        frameTime += reader.U16();
        atmosphere.UpdateAtmosphere(frameTime, false);
        const std::uint32_t shown = frameTime + reader.U8();
        atmosphere.EndLightningFlash(shown);
        const CLightning& lightning = atmosphere.Lightning();
        if (lightning.Flashing() && lightning.FlashEnd() < shown) {
          std::abort();
        }
        break;
      }
    }
    const float level = atmosphere.Sky().weatherLevel;
    if (!(level >= 0.0f && level <= 1.0f) ||
        atmosphere.QueuedWeather() > CWeatherQueue::kCapacity) {
      std::abort();
    }
  }
  return 0;
}
