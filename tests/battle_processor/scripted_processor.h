// A processor and a performance counter whose every answer a test chooses.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_reader.h"
#include "battle/processor/cpu_type.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/processor.h"

namespace test {

inline constexpr DWORD kFlagsHighNibble = 0xF000;
inline constexpr DWORD kFlagsReserved15 = 0x8000;

class ScriptedProcessor : public platform::ProcessorSource {
 public:
  std::string vendor = "GenuineIntel";
  DWORD family = 6;
  DWORD features = kCpuFeatureTsc;
  // Flag bits that WriteFlags cannot change, and the values they keep.
  DWORD fixedFlags = 0;
  DWORD fixedFlagValues = 0;
  bool cyrix = false;
  // The time-stamp counter; reads are counted.
  std::function<std::uint64_t()> timeStamp = [] { return std::uint64_t{0}; };
  std::deque<BYTE> seconds;
  // What one run of the timed loop does, given its pass count; runs are counted.
  std::function<void(WORD)> bitScanLoop = [](WORD) {};

  int cpuidCalls = 0;
  int timeStampReads = 0;
  int secondsReads = 0;
  int bitScanLoopRuns = 0;

  platform::CpuidResult Cpuid(DWORD leaf) override {
    ++cpuidCalls;
    platform::CpuidResult result{};
    if (leaf == 0) {
      result.eax = 1;
      // The vendor text's bytes in EBX, EDX and ECX, each low byte first.
      arena::ByteReader text(vendor.data(), vendor.size());
      result.ebx = text.U32();
      result.edx = text.U32();
      result.ecx = text.U32();
    } else if (leaf == 1) {
      result.eax = (family << 8) | 0x21;
      result.edx = features;
    }
    return result;
  }
  std::uint64_t ReadTimeStampCounter() override {
    ++timeStampReads;
    return timeStamp();
  }
  BYTE ReadRtcSeconds() override {
    ++secondsReads;
    if (seconds.empty()) {
      // Out of script: a change that ends any wait.
      return 255;
    }
    const BYTE value = seconds.front();
    seconds.pop_front();
    return value;
  }
  DWORD ReadFlags() override { return (flags_ & ~fixedFlags) | (fixedFlagValues & fixedFlags); }
  void WriteFlags(DWORD flags) override { flags_ = flags; }
  bool DivisionKeepsZeroFlag(WORD dividend, BYTE divisor) override {
    return cyrix && dividend == 0x5555 && divisor == 2;
  }

  void RunBitScanLoop(WORD passes) override {
    ++bitScanLoopRuns;
    bitScanLoop(passes);
  }

  // A processor without CPUID: the ID flag cannot be changed.
  void RemoveCpuid() { fixedFlags |= platform::kFlagsId; }

 private:
  DWORD flags_ = 0x0202;
};

// A performance counter that moves by the next of the given steps at every read.
class StepClock : public platform::ProcessClock {
 public:
  StepClock(std::int64_t frequency, std::vector<std::int64_t> steps)
      : frequency_(frequency), steps_(std::move(steps)) {}

  DWORD Milliseconds() override { return 1000; }
  DWORD StartMilliseconds() override { return 1000; }
  std::int64_t PerformanceCounter() override {
    last_ = counter_;
    counter_ += steps_[reads_ % steps_.size()];
    ++reads_;
    return last_;
  }
  std::int64_t PerformanceFrequency() override { return frequency_; }
  std::int64_t WallSeconds() override { return 0; }
  void Sleep(DWORD) override {}

  // Moves the counter without a read, as time spent between reads does.
  void Advance(std::int64_t ticks) { counter_ += ticks; }
  // The value of the latest read.
  std::int64_t last() const { return last_; }
  std::size_t reads() const { return reads_; }

 private:
  std::int64_t frequency_;
  std::vector<std::int64_t> steps_;
  std::int64_t counter_ = 0;
  std::int64_t last_ = 0;
  std::size_t reads_ = 0;
};

}  // namespace test
