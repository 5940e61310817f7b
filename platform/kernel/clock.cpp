#include "platform/kernel/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

// Virtual wall clock start: 2000-01-01 00:00:00 UTC.
constexpr std::int64_t kVirtualEpoch = 946684800;

// The steady clock is the system's monotonic clock, which counts from the system's start.
using SystemClock = std::chrono::steady_clock;

// Taken when the platform library is loaded, before the host program runs.
const SystemClock::time_point gProcessStart = SystemClock::now();

// Like the original platform's millisecond timer: milliseconds since the system started, wrapping
// at 2^32 (every 49.7 days). The game's schedules rely on it, such as the first frame-rate report
// going out at the first frame.
DWORD SystemMilliseconds(SystemClock::time_point when) {
  return static_cast<DWORD>(
      std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count());
}

class RealClock : public ProcessClock {
 public:
  DWORD Milliseconds() override { return SystemMilliseconds(SystemClock::now()); }
  DWORD StartMilliseconds() override { return SystemMilliseconds(gProcessStart); }
  std::int64_t PerformanceCounter() override {
    const auto ns = Elapsed<std::chrono::nanoseconds>();
    return static_cast<std::int64_t>(static_cast<__int128>(ns) * kPerformanceFrequency /
                                     1000000000);
  }
  std::int64_t PerformanceFrequency() override { return kPerformanceFrequency; }
  std::int64_t WallSeconds() override {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
  void Sleep(DWORD milliseconds) override {
    if (milliseconds == 0) {
      std::this_thread::yield();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  bool WaitFor(std::condition_variable& signal, std::unique_lock<std::mutex>& lock,
               DWORD milliseconds, const std::function<bool()>& ready) override {
    return signal.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
  }

 private:
  template <typename Unit>
  std::uint64_t Elapsed() const {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<Unit>(SystemClock::now() - start_).count());
  }
  const SystemClock::time_point start_ = SystemClock::now();
};

RealClock& Real() {
  static RealClock clock;
  return clock;
}

std::atomic<ProcessClock*> gReplacement{nullptr};

}  // namespace

bool ProcessClock::WaitFor(std::condition_variable&, std::unique_lock<std::mutex>& lock,
                           DWORD milliseconds, const std::function<bool()>& ready) {
  if (const bool readyNow = ready(); readyNow || milliseconds == 0) {
    return readyNow;
  }
  lock.unlock();
  Sleep(1);
  lock.lock();
  return ready();
}

DWORD VirtualClock::Milliseconds() {
  std::lock_guard lock(mutex_);
  return static_cast<DWORD>(milliseconds_);
}

std::int64_t VirtualClock::PerformanceCounter() {
  std::lock_guard lock(mutex_);
  return static_cast<std::int64_t>(elapsed_) * kPerformanceFrequency / 1000;
}

std::int64_t VirtualClock::PerformanceFrequency() { return kPerformanceFrequency; }

std::int64_t VirtualClock::WallSeconds() {
  std::lock_guard lock(mutex_);
  return kVirtualEpoch + static_cast<std::int64_t>(elapsed_ / 1000);
}

void VirtualClock::Sleep(DWORD milliseconds) { Advance(milliseconds); }

void VirtualClock::Advance(DWORD milliseconds) {
  std::lock_guard lock(mutex_);
  milliseconds_ += milliseconds;
  elapsed_ += milliseconds;
}

ProcessClock* SetProcessClock(ProcessClock* clock) { return gReplacement.exchange(clock); }

ProcessClock& GetProcessClock() {
  ProcessClock* replacement = gReplacement.load();
  return replacement != nullptr ? *replacement : Real();
}

std::int32_t CrtClock() {
  // Counted from the first call, which the host makes at start-up.
  static const DWORD start = GetProcessClock().Milliseconds();
  return static_cast<std::int32_t>(GetProcessClock().Milliseconds() - start);
}

std::int64_t CrtTime() { return GetProcessClock().WallSeconds(); }

}  // namespace platform

DWORD timeGetTime() { return platform::GetProcessClock().Milliseconds(); }

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  count->QuadPart = platform::GetProcessClock().PerformanceCounter();
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  frequency->QuadPart = platform::GetProcessClock().PerformanceFrequency();
  return TRUE;
}

void Sleep(DWORD milliseconds) { platform::GetProcessClock().Sleep(milliseconds); }
