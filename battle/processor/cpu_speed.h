// Processor clock measurement: by the time-stamp counter against the performance counter or the
// real-time clock, or by timing a loop of BSF instructions of known cycle count.
#pragma once

#include <array>

#include "platform/kernel/types.h"

// All zero when nothing was measured.
struct CpuSpeedInfo {
  DWORD cycles;
  DWORD microseconds;
  // cycles / microseconds, truncated.
  DWORD rawMhz;
  // Rounded up only from 0.6 of a MHz.
  DWORD normalizedMhz;

  bool operator==(const CpuSpeedInfo&) const = default;
};

// Cycles of one pass of the BSF loop, by processor family.
inline constexpr std::array<DWORD, 12> kBsfLoopCycles = {0,  0,  0,  115, 47, 43,
                                                         38, 38, 38, 38,  38, 38};
inline constexpr DWORD kBsfLoopPasses = 4000;

// Measures the clock of an Intel processor; zeros for any other. A clock count from 1 to 150
// fixes the loop's cycle count at clocks x 4000 and forces the loop method; 0 lets the
// time-stamp counter measure where there is one; any other count measures against the
// real-time clock where there is one.
CpuSpeedInfo MeasureCpuSpeed(int clocks);
// Time-stamp counter against the performance counter, in 3 to 20 tries of about 1050 ticks.
CpuSpeedInfo MeasureCpuSpeedTsc();
// Time-stamp counter over one second of the real-time clock; waits up to two seconds.
CpuSpeedInfo MeasureCpuSpeedCmos();
// The fastest of ten timed runs of the BSF loop, which takes the given number of cycles.
CpuSpeedInfo MeasureCpuSpeedBsf(DWORD cycles);

// The real-time clock's seconds register.
BYTE ReadCmosSeconds();
void ReadTscParts(DWORD* high, DWORD* low);
// The low word of the 64-bit difference end - start of two time-stamp counter readings.
DWORD SubtractTsc(DWORD endHigh, DWORD endLow, DWORD startHigh, DWORD startLow);
