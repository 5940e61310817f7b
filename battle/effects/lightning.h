// Lightning during full rain: when a strike is due, a thunder clap and usually a white flash of
// a tenth of a second; strikes come 10 to 20 seconds apart, now and then with a quick second one
// 0.8 seconds after. This decides the strikes on the frame clock; the atmosphere shows them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

// A thunder clap, and whether the sky flashes with it.
struct LightningStrike {
  std::uint32_t thunderCode;
  bool flash;
};

class CLightning {
 public:
  // Non-negative numbers; the runtime's rand unless a test scripts them.
  using RandomSource = std::function<std::uint32_t()>;

  // A flash shows for this long (ms).
  static constexpr std::uint32_t kFlashLength = 100;

  CLightning();
  explicit CLightning(RandomSource random);

  // The next strike comes at this frame time (ms): the weather's start puts it at once.
  void StrikeAt(std::uint32_t frameTime) { nextStrike_ = frameTime; }
  // A flash whose end is not after the frame time is over: true when one was showing.
  bool EndFlash(std::uint32_t frameTime);
  // The strike due at this frame time, if any; a flash starts with it.
  std::optional<LightningStrike> Strike(std::uint32_t frameTime);
  // After a frame is shown: true, with the flash over, when a flash ended before this frame time
  // and no lightning step has ended it.
  bool EndFlashAfterFrame(std::uint32_t frameTime);

  bool Flashing() const { return flashing_; }
  std::uint32_t FlashEnd() const { return flashEnd_; }
  std::uint32_t NextStrike() const { return nextStrike_; }
  bool Burst() const { return burst_; }

 private:
  // rand () mod modulus.
  std::uint32_t Draw(std::uint32_t modulus) { return random_() % modulus; }

  RandomSource random_;
  std::uint32_t flashEnd_ = 0;
  std::uint32_t nextStrike_ = 0;
  // Set for the quick follow-up strike, which never brings a third.
  bool burst_ = false;
  bool flashing_ = false;
};
