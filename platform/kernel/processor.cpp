#include "platform/kernel/processor.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define ARENA_X86 1
#else
#include <chrono>
#define ARENA_X86 0
#endif

#include <atomic>
#include <ctime>

namespace platform {
namespace {

// Flags that user code may change with POPFD: CF, PF, AF, ZF, SF, DF, OF, NT, AC and ID. IOPL
// and IF stay as the system set them; bit 1 always reads 1.
constexpr DWORD kUserWritableFlags = 0x00244CD5;
constexpr DWORD kFixedFlags = 0x00000202;

class RealProcessor : public ProcessorSource {
 public:
#if ARENA_X86
  CpuidResult Cpuid(DWORD leaf) override {
    CpuidResult result{};
    if (__get_cpuid_count(leaf, 0, &result.eax, &result.ebx, &result.ecx, &result.edx) == 0) {
      return CpuidResult{};
    }
    return result;
  }

  std::uint64_t ReadTimeStampCounter() override { return __rdtsc(); }
#else
  // Another processor has no CPUID: every leaf reads as zeros. Its cycle counter is the steady
  // clock's nanoseconds.
  CpuidResult Cpuid(DWORD) override { return CpuidResult{}; }

  std::uint64_t ReadTimeStampCounter() override {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
#endif

  // User programs cannot reach the clock chip's ports; the system clock's local second is the
  // same register's value.
  BYTE ReadRtcSeconds() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<BYTE>(local.tm_sec);
  }

  // The flag tests that tell an 8086, 286, 386 and Cyrix apart cannot be run as written in a
  // 64-bit user process. Every processor that runs this one has CPUID, the alignment-check flag
  // and a writable NT flag, so the flags register is modelled as such a processor shows it to
  // user code: one register per thread, as the real one is.
  DWORD ReadFlags() override { return flags_; }
  void WriteFlags(DWORD flags) override { flags_ = (flags & kUserWritableFlags) | kFixedFlags; }
  // DIV leaves the flags undefined on these processors; they answer as a non-Cyrix one.
  bool DivisionKeepsZeroFlag(WORD, BYTE) override { return false; }

  void RunBitScanLoop(WORD passes) override {
    if (passes == 0) {
      return;
    }
#if ARENA_X86
    unsigned scratch;
    asm volatile(
        "1:\n\t"
        "bsfl %2, %0\n\t"
        "decw %1\n\t"
        "jnz 1b"
        : "=&r"(scratch), "+r"(passes)
        : "r"(0x80000000u)
        : "cc");
#else
    // The same number of bit scans, kept from being folded away.
    volatile unsigned scanned = 0;
    for (; passes != 0; --passes) {
      scanned = static_cast<unsigned>(__builtin_ctz(0x80000000u));
    }
#endif
  }

 private:
  static thread_local DWORD flags_;
};

thread_local DWORD RealProcessor::flags_ = kFixedFlags;

RealProcessor& Real() {
  static RealProcessor processor;
  return processor;
}

std::atomic<ProcessorSource*> gReplacement{nullptr};

}  // namespace

ProcessorSource* SetProcessorSource(ProcessorSource* source) {
  return gReplacement.exchange(source);
}

ProcessorSource& GetProcessorSource() {
  ProcessorSource* replacement = gReplacement.load();
  return replacement != nullptr ? *replacement : Real();
}

}  // namespace platform
