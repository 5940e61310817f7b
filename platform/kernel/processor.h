// The processor instructions behind processor identification and clock measurement: CPUID, the
// time-stamp counter, the real-time clock's seconds register, the flag-register tests and the
// timed loop of known cycle count. They run through one replaceable source so that tests can
// script a processor of any kind.
#pragma once

#include <cstdint>

#include "platform/kernel/types.h"

namespace platform {

struct CpuidResult {
  DWORD eax;
  DWORD ebx;
  DWORD ecx;
  DWORD edx;
};

inline constexpr DWORD kFlagsAlignmentCheck = 1u << 18;
inline constexpr DWORD kFlagsId = 1u << 21;

class ProcessorSource {
 public:
  virtual ~ProcessorSource() = default;
  // CPUID with the given leaf (sub-leaf 0); all zero for a leaf the processor does not have.
  virtual CpuidResult Cpuid(DWORD leaf) = 0;
  // RDTSC.
  virtual std::uint64_t ReadTimeStampCounter() = 0;
  // The real-time clock's seconds register, in binary (0-59).
  virtual BYTE ReadRtcSeconds() = 0;
  // PUSHFD: the flags register.
  virtual DWORD ReadFlags() = 0;
  // POPFD: loads the flags register; bits that the processor keeps fixed do not change.
  virtual void WriteFlags(DWORD flags) = 0;
  // Whether the zero flag, set beforehand, is still set after DIV of dividend by divisor.
  virtual bool DivisionKeepsZeroFlag(WORD dividend, BYTE divisor) = 0;
  // Runs `passes` times a BSF of 0x80000000 followed by a 16-bit decrement and branch: the loop
  // whose cycle count per family is known, timed to find the clock.
  virtual void RunBitScanLoop(WORD passes) = 0;
};

// Replaces the processor source; null restores the real one. Returns the previous replacement.
ProcessorSource* SetProcessorSource(ProcessorSource* source);
ProcessorSource& GetProcessorSource();

// Installs a processor source for the lifetime of a scope (tests).
class ScopedProcessorSource {
 public:
  explicit ScopedProcessorSource(ProcessorSource& source)
      : previous_(SetProcessorSource(&source)) {}
  ~ScopedProcessorSource() { SetProcessorSource(previous_); }
  ScopedProcessorSource(const ScopedProcessorSource&) = delete;
  ScopedProcessorSource& operator=(const ScopedProcessorSource&) = delete;

 private:
  ProcessorSource* previous_;
};

}  // namespace platform
