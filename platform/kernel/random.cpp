#include "platform/kernel/random.h"

#include <atomic>

namespace platform {
namespace {

// The linear congruential sequence of the C standard's portable example: the upper bits of a
// 32-bit state, 15 bits at a time.
class BuiltInRandom : public RandomSource {
 public:
  int Next() override {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) & static_cast<std::uint32_t>(kRandMax));
  }
  void Seed(std::uint32_t seed) override { state_ = seed; }

 private:
  std::uint32_t state_ = 1;
};

BuiltInRandom gBuiltIn;
std::atomic<RandomSource*> gReplacement{nullptr};

RandomSource& Current() {
  RandomSource* replacement = gReplacement.load();
  return replacement != nullptr ? *replacement : gBuiltIn;
}

}  // namespace

RandomSource* SetRandomSource(RandomSource* source) { return gReplacement.exchange(source); }

int CrtRand() { return Current().Next(); }

void CrtSrand(std::uint32_t seed) { Current().Seed(seed); }

}  // namespace platform
