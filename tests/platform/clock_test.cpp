#include "platform/kernel/clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include <cstdint>

namespace {

// The system's monotonic clock in milliseconds, cut to 32 bits.
DWORD SystemMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<DWORD>(static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                            static_cast<std::uint64_t>(now.tv_nsec) / 1000000);
}

// As the original's timer: milliseconds since the system started, not since the process did.
TEST(ProcessClock, RealClockCountsFromTheSystemStart) {
  const DWORD before = SystemMilliseconds();
  const DWORD read = timeGetTime();
  const DWORD after = SystemMilliseconds();
  EXPECT_LE(read - before, after - before);  // wrap-safe: between the two
  // The process's start is a fixed reading of the same clock, taken before this test ran.
  const DWORD start = platform::GetProcessClock().StartMilliseconds();
  EXPECT_GE(static_cast<std::int32_t>(read - start), 0);
  EXPECT_EQ(platform::GetProcessClock().StartMilliseconds(), start);
}

TEST(ProcessClock, RealClockMoves) {
  const DWORD first = timeGetTime();
  LARGE_INTEGER frequency{};
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, platform::kPerformanceFrequency);
  LARGE_INTEGER before{};
  LARGE_INTEGER after{};
  QueryPerformanceCounter(&before);
  Sleep(20);
  QueryPerformanceCounter(&after);
  EXPECT_GE(timeGetTime() - first, 20u);
  // 20 ms at the counter's rate, with slack only upwards.
  EXPECT_GE(after.QuadPart - before.QuadPart, frequency.QuadPart * 20 / 1000);
}

TEST(ProcessClock, VirtualClockMovesOnlyBySleep) {
  platform::VirtualClock clock(5000);
  platform::ScopedProcessClock scope(clock);
  EXPECT_EQ(timeGetTime(), 5000u);
  LARGE_INTEGER start{};
  QueryPerformanceCounter(&start);
  const std::int64_t wall = platform::CrtTime();
  Sleep(16000);
  EXPECT_EQ(timeGetTime(), 21000u);
  LARGE_INTEGER end{};
  QueryPerformanceCounter(&end);
  EXPECT_EQ(end.QuadPart - start.QuadPart, platform::kPerformanceFrequency * 16);
  EXPECT_EQ(platform::CrtTime() - wall, 16);
}

TEST(ProcessClock, MillisecondsWrapAt32Bits) {
  platform::VirtualClock clock(0xFFFFFFF0u);
  platform::ScopedProcessClock scope(clock);
  Sleep(0x20);
  EXPECT_EQ(timeGetTime(), 0x10u);
}

TEST(ProcessClock, ScopeRestoresThePreviousClock) {
  platform::VirtualClock outer(100);
  platform::VirtualClock inner(200);
  platform::ScopedProcessClock outerScope(outer);
  {
    platform::ScopedProcessClock innerScope(inner);
    EXPECT_EQ(timeGetTime(), 200u);
  }
  EXPECT_EQ(timeGetTime(), 100u);
}

}  // namespace
