#include "battle/effects/lightning.h"

#include <utility>

#include "battle/core/sound_table.h"
#include "platform/kernel/random.h"

namespace {

// One-shot thunder claps, neither positional nor looping: the code is the sound index.
constexpr std::uint32_t kThunder = 8;
constexpr std::uint32_t kThunderTwo = 9;
static_assert(kSoundTable[kThunder].name == "WEATHERTHUNDER" &&
              kSoundTable[kThunderTwo].name == "WEATHERTHUNDER2");

constexpr std::uint32_t kPercent = 100;
constexpr std::uint32_t kFirstThunderShare = 50;
constexpr std::uint32_t kBurstShare = 30;
constexpr std::uint32_t kFlashShare = 80;
constexpr std::uint32_t kBurstInterval = 800;
constexpr std::uint32_t kInterval = 10000;
constexpr std::uint32_t kIntervalSpread = 10000;

}  // namespace

CLightning::CLightning()
    : CLightning([] { return static_cast<std::uint32_t>(platform::CrtRand()); }) {}

CLightning::CLightning(RandomSource random) : random_(std::move(random)) {}

bool CLightning::EndFlash(std::uint32_t frameTime) {
  if (flashEnd_ > frameTime) {
    return false;
  }
  const bool ended = flashing_;
  flashing_ = false;
  return ended;
}

std::optional<LightningStrike> CLightning::Strike(std::uint32_t frameTime) {
  if (nextStrike_ > frameTime) {
    return std::nullopt;
  }
  // The draws come in this order: thunder, burst (only without one running), flash, interval
  // (only without a burst).
  LightningStrike strike{};
  strike.thunderCode = Draw(kPercent) < kFirstThunderShare ? kThunder : kThunderTwo;
  burst_ = !burst_ && Draw(kPercent) < kBurstShare;
  strike.flash = Draw(kPercent) < kFlashShare;
  if (strike.flash) {
    flashEnd_ = frameTime + kFlashLength;
    flashing_ = true;
  }
  nextStrike_ = burst_ ? frameTime + kBurstInterval : frameTime + kInterval + Draw(kIntervalSpread);
  return strike;
}

bool CLightning::EndFlashAfterFrame(std::uint32_t frameTime) {
  if (!flashing_ || flashEnd_ >= frameTime) {
    return false;
  }
  flashing_ = false;
  return true;
}
