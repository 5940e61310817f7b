// The process clock: timeGetTime, the performance counter, Sleep and the C runtime's clock and
// time all read one clock, which a test can replace by a virtual one so that long time-outs take
// no real time.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>

#include "platform/kernel/types.h"

namespace platform {

// The performance counter rate of the real clock: the classic timer chip's rate, which keeps the
// 32-bit arithmetic of its users (tick counts x 100000) in range.
inline constexpr std::int64_t kPerformanceFrequency = 1193182;

class ProcessClock {
 public:
  virtual ~ProcessClock() = default;
  // Milliseconds since the system started (a virtual clock: since its own start); wraps at 2^32.
  virtual DWORD Milliseconds() = 0;
  // Milliseconds() when the process started (a virtual clock: when it was made), from which the
  // input script counts its times.
  virtual DWORD StartMilliseconds() = 0;
  virtual std::int64_t PerformanceCounter() = 0;
  virtual std::int64_t PerformanceFrequency() = 0;
  // Seconds since 1970, as the C runtime's time().
  virtual std::int64_t WallSeconds() = 0;
  virtual void Sleep(DWORD milliseconds) = 0;
  // Blocks until `ready` holds or `milliseconds` pass, and says whether `ready` holds; `lock`
  // holds the mutex under which `ready` is read and `signal` notified when it may have changed.
  // The real clock sleeps on the signal. A clock that stands still between calls cannot: it
  // moves itself 1 ms through Sleep, without the lock, and returns, so callers loop on their own
  // deadline as they would around Sleep(1).
  virtual bool WaitFor(std::condition_variable& signal, std::unique_lock<std::mutex>& lock,
                       DWORD milliseconds, const std::function<bool()>& ready);
};

// A clock that stands still until Sleep or Advance moves it. Thread-safe.
class VirtualClock : public ProcessClock {
 public:
  explicit VirtualClock(DWORD startMilliseconds = 1000)
      : start_(startMilliseconds), milliseconds_(startMilliseconds) {}
  DWORD Milliseconds() override;
  DWORD StartMilliseconds() override { return start_; }
  std::int64_t PerformanceCounter() override;
  std::int64_t PerformanceFrequency() override;
  std::int64_t WallSeconds() override;
  void Sleep(DWORD milliseconds) override;
  void Advance(DWORD milliseconds);

 private:
  const DWORD start_;
  std::mutex mutex_;
  std::uint64_t milliseconds_;
  std::uint64_t elapsed_ = 0;
};

// Replaces the process clock; null restores the real one. Returns the previous replacement.
ProcessClock* SetProcessClock(ProcessClock* clock);
ProcessClock& GetProcessClock();

// Installs a clock for the lifetime of a scope (tests).
class ScopedProcessClock {
 public:
  explicit ScopedProcessClock(ProcessClock& clock) : previous_(SetProcessClock(&clock)) {}
  ~ScopedProcessClock() { SetProcessClock(previous_); }
  ScopedProcessClock(const ScopedProcessClock&) = delete;
  ScopedProcessClock& operator=(const ScopedProcessClock&) = delete;

 private:
  ProcessClock* previous_;
};

// The C runtime's clock(): milliseconds since the process started (1000 per second).
std::int32_t CrtClock();
// The C runtime's time(): seconds since 1970.
std::int64_t CrtTime();

}  // namespace platform

DWORD timeGetTime();
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void Sleep(DWORD milliseconds);
