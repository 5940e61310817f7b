#include "battle/processor/cpu_speed.h"

#include <algorithm>
#include <cstdint>

#include "battle/processor/cpu_type.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/processor.h"
#include "platform/kernel/thread.h"

namespace {

constexpr int kMaxTscTries = 20;
constexpr DWORD kSettleTicks = 50;
constexpr DWORD kWindowTicks = 1000;
constexpr int kBsfRuns = 10;

// Holds the calling thread at a raised priority for a timed section, unless its priority cannot
// be read; puts it back at the end.
class RaisedPriority {
 public:
  template <typename Raise>
  explicit RaisedPriority(Raise raise) : previous_(GetThreadPriority(GetCurrentThread())) {
    if (previous_ != THREAD_PRIORITY_ERROR_RETURN) {
      SetThreadPriority(GetCurrentThread(), raise(previous_));
    }
  }
  ~RaisedPriority() {
    if (previous_ != THREAD_PRIORITY_ERROR_RETURN) {
      SetThreadPriority(GetCurrentThread(), previous_);
    }
  }
  RaisedPriority(const RaisedPriority&) = delete;
  RaisedPriority& operator=(const RaisedPriority&) = delete;

 private:
  const int previous_;
};

DWORD ReadCounter() {
  LARGE_INTEGER count{};
  QueryPerformanceCounter(&count);
  return static_cast<DWORD>(count.QuadPart);
}

// 0 when there is no performance counter.
DWORD CounterFrequency() {
  LARGE_INTEGER frequency{};
  if (!QueryPerformanceFrequency(&frequency)) {
    return 0;
  }
  return static_cast<DWORD>(frequency.QuadPart);
}

// ticks x 100000 / (frequency / 10). The product is taken in 64 bits: in 32 it wraps once a
// timed window is stretched past 42949 ticks (the thread was preempted), and the clock of that
// try would come out as nonsense. The caller makes sure that frequency / 10 is not 0.
DWORD TicksToMicroseconds(DWORD ticks, DWORD frequency) {
  return static_cast<DWORD>(std::uint64_t{ticks} * 100000 / (frequency / 10));
}

// dividend / divisor, plus 1 when the remainder exceeds half the divisor.
DWORD RoundedQuotient(DWORD dividend, DWORD divisor) {
  return dividend / divisor + (dividend % divisor > divisor / 2 ? 1 : 0);
}

// The last three tries agree when each lies within 1 MHz of their mean.
bool TriesAgree(const std::array<DWORD, 3>& mhz) {
  const DWORD sum = mhz[0] + mhz[1] + mhz[2];
  return std::all_of(mhz.begin(), mhz.end(), [sum](DWORD m) {
    const DWORD triple = 3 * m;
    return (triple > sum ? triple - sum : sum - triple) <= 3;
  });
}

// Reads the seconds register until it changes from `reference` and returns that read. A read
// exactly 10 lower is not taken as a change.
BYTE WaitForSecondsChange(BYTE reference) {
  for (;;) {
    const BYTE seconds = ReadCmosSeconds();
    if (seconds > reference || (seconds < reference && reference - seconds != 10)) {
      return seconds;
    }
  }
}

}  // namespace

CpuSpeedInfo MeasureCpuSpeed(int clocks) {
  const DWORD type = GetCpuType();
  const DWORD features = GetCpuFeatures();
  if ((type & kCpuTypeNotIntel) != 0) {
    return {};
  }
  const DWORD family = type & 0xFF;
  DWORD cycles = 0;
  bool cyclesFixed = false;
  if (clocks < 1) {
    // A family past the table has no known loop cycle count.
    cycles = family < kBsfLoopCycles.size() ? kBsfLoopCycles[family] * kBsfLoopPasses : 0;
  } else if (clocks <= 150) {
    cycles = static_cast<DWORD>(clocks) * kBsfLoopPasses;
    cyclesFixed = true;
  }
  if ((features & kCpuFeatureTsc) != 0 && !cyclesFixed) {
    return clocks == 0 ? MeasureCpuSpeedTsc() : MeasureCpuSpeedCmos();
  }
  // Without a cycle count (a family past the table, a clock count above 150) the loop cannot
  // tell the clock.
  if (family >= 3 && cycles != 0) {
    return MeasureCpuSpeedBsf(cycles);
  }
  return {};
}

CpuSpeedInfo MeasureCpuSpeedTsc() {
  const DWORD frequency = CounterFrequency();
  // Without a counter, or with one too slow to time a window in microseconds, there is nothing
  // to divide by.
  if (frequency / 10 == 0) {
    return {};
  }
  DWORD totalCycles = 0;
  DWORD totalMicroseconds = 0;
  std::array<DWORD, 3> lastMhz{};
  for (int tries = 1;; ++tries) {
    DWORD start = ReadCounter();
    DWORD now;
    DWORD c0High;
    DWORD c0Low;
    DWORD c1High;
    DWORD c1Low;
    {
      RaisedPriority raised([](int) { return THREAD_PRIORITY_TIME_CRITICAL; });
      do {
        now = ReadCounter();
        ReadTscParts(&c0High, &c0Low);
      } while (now - start < kSettleTicks);
      start = now;
      do {
        now = ReadCounter();
        ReadTscParts(&c1High, &c1Low);
      } while (now - start < kWindowTicks);
    }
    const DWORD cycles = SubtractTsc(c1High, c1Low, c0High, c0Low);
    DWORD microseconds = TicksToMicroseconds(now - start, frequency);
    // A counter so fast that a window is under a microsecond gives no clock.
    if (microseconds == 0) {
      return {};
    }
    totalCycles += cycles;
    totalMicroseconds += microseconds;
    if (microseconds % frequency > frequency / 2) {
      ++microseconds;
    }
    lastMhz = {lastMhz[1], lastMhz[2], RoundedQuotient(cycles, microseconds)};
    if (tries >= 3 && (tries == kMaxTscTries || TriesAgree(lastMhz))) {
      break;
    }
  }
  // Tenths and hundredths are taken in 64 bits: in 32, total cycles x 100 wraps past 43 million
  // cycles (20 tries of a 2.6 GHz processor) and the rounding would go wrong.
  const std::uint64_t cycles64 = totalCycles;
  DWORD tenths = static_cast<DWORD>(cycles64 * 10 / totalMicroseconds);
  const DWORD hundredths = static_cast<DWORD>(cycles64 * 100 / totalMicroseconds);
  if (hundredths - tenths * 10 >= 6) {
    ++tenths;
  }
  const DWORD raw = totalCycles / totalMicroseconds;
  const DWORD normalized = raw + (tenths - raw * 10 >= 6 ? 1 : 0);
  return {totalCycles, totalMicroseconds, raw, normalized};
}

CpuSpeedInfo MeasureCpuSpeedCmos() {
  BYTE reference;
  BYTE last;
  DWORD c0High;
  DWORD c0Low;
  DWORD c1High;
  DWORD c1Low;
  {
    RaisedPriority raised([](int priority) { return priority + 1; });
    reference = WaitForSecondsChange(ReadCmosSeconds());
    ReadTscParts(&c0High, &c0Low);
    last = WaitForSecondsChange(reference);
    ReadTscParts(&c1High, &c1Low);
  }
  const DWORD cycles = SubtractTsc(c1High, c1Low, c0High, c0Low);
  // The register wraps from 59 to 0 at the minute: count its seconds modulo a minute.
  const DWORD seconds = (last + 60u - reference) % 60u;
  const DWORD raw = cycles / 1000000;
  const DWORD normalized = raw + (cycles / 100000 - raw * 10 >= 6 ? 1 : 0);
  return {cycles, seconds * 1000000, raw, normalized};
}

CpuSpeedInfo MeasureCpuSpeedBsf(DWORD cycles) {
  const DWORD frequency = CounterFrequency();
  // As in the time-stamp method: no counter, nothing to divide by.
  if (frequency / 10 == 0) {
    return {};
  }
  DWORD smallest = 0xFFFFFFFF;
  for (int run = 0; run < kBsfRuns; ++run) {
    const DWORD start = ReadCounter();
    platform::GetProcessorSource().RunBitScanLoop(kBsfLoopPasses);
    smallest = std::min(smallest, ReadCounter() - start);
  }
  DWORD microseconds = TicksToMicroseconds(smallest, frequency);
  if (microseconds % frequency > frequency / 2) {
    ++microseconds;
  }
  // A loop that took no measurable time gives no clock.
  if (microseconds == 0) {
    return {};
  }
  const DWORD raw = cycles / microseconds;
  return {cycles, microseconds, raw, RoundedQuotient(cycles, microseconds)};
}

BYTE ReadCmosSeconds() { return platform::GetProcessorSource().ReadRtcSeconds(); }

void ReadTscParts(DWORD* high, DWORD* low) {
  const std::uint64_t count = platform::GetProcessorSource().ReadTimeStampCounter();
  *high = static_cast<DWORD>(count >> 32);
  *low = static_cast<DWORD>(count);
}

DWORD SubtractTsc(DWORD endHigh, DWORD endLow, DWORD startHigh, DWORD startLow) {
  const std::uint64_t end = (std::uint64_t{endHigh} << 32) | endLow;
  const std::uint64_t start = (std::uint64_t{startHigh} << 32) | startLow;
  return static_cast<DWORD>(end - start);
}
