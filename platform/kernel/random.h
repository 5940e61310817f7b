// The C runtime's random generator: rand gives 0 to 32767, srand restarts the sequence from a
// seed, and a process that never seeds draws as if seeded with 1. One generator serves the whole
// process (the game reseeds it for each smoke puff; towers, debris and sparks draw from it), so a
// test can replace it with a scripted source.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr int kRandMax = 32767;

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // 0 to kRandMax.
  virtual int Next() = 0;
  virtual void Seed(std::uint32_t seed) = 0;
};

// Replaces the process's generator; null restores the built-in one (its state kept). Returns the
// previous replacement.
RandomSource* SetRandomSource(RandomSource* source);

// Installs a source for the lifetime of a scope (tests).
class ScopedRandomSource {
 public:
  explicit ScopedRandomSource(RandomSource& source) : previous_(SetRandomSource(&source)) {}
  ~ScopedRandomSource() { SetRandomSource(previous_); }
  ScopedRandomSource(const ScopedRandomSource&) = delete;
  ScopedRandomSource& operator=(const ScopedRandomSource&) = delete;

 private:
  RandomSource* previous_;
};

// The C runtime's rand and srand on the process's generator.
int CrtRand();
void CrtSrand(std::uint32_t seed);

}  // namespace platform
