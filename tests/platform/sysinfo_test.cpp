#include "platform/kernel/sysinfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>

namespace {

TEST(SystemInfo, DescribesAPentiumClassMachine) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  EXPECT_EQ(info.dwPageSize, 4096u);
  EXPECT_EQ(info.dwAllocationGranularity, 65536u);
  EXPECT_GE(info.dwNumberOfProcessors, 1u);
  EXPECT_LE(info.dwNumberOfProcessors, std::max(1u, std::thread::hardware_concurrency()));
  EXPECT_NE(info.dwActiveProcessorMask, 0u);
  EXPECT_LT(info.lpMinimumApplicationAddress, info.lpMaximumApplicationAddress);
#if defined(__x86_64__)
  EXPECT_EQ(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL);
  EXPECT_EQ(info.dwProcessorType, PROCESSOR_INTEL_PENTIUM);
#endif
}

TEST(SystemInfo, MemoryStatusIsPlausible) {
  MEMORYSTATUS status;
  GlobalMemoryStatus(&status);
  EXPECT_EQ(status.dwLength, sizeof(MEMORYSTATUS));
  // Any machine that builds this has more than 16 MB, the game's own minimum.
  EXPECT_GT(status.dwTotalPhys, 16u << 20);
  EXPECT_GT(status.dwAvailPhys, 0u);
  EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
  EXPECT_LE(status.dwMemoryLoad, 100u);
  EXPECT_GE(status.dwTotalPageFile, status.dwTotalPhys);
  EXPECT_LE(status.dwAvailVirtual, status.dwTotalVirtual);
}

TEST(SystemInfo, VersionIsWindows95) {
  const DWORD version = GetVersion();
  EXPECT_EQ(version & 0xFF, 4u);              // major
  EXPECT_EQ((version >> 8) & 0xFF, 0u);       // minor
  EXPECT_NE(version & 0x80000000u, 0u);       // not NT
  EXPECT_EQ((version >> 16) & 0x7FFF, 950u);  // build
}

TEST(SystemInfo, MemoryStatusExIsNotCutTo32Bits) {
  MEMORYSTATUSEX status;
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  EXPECT_EQ(status.dwLength, sizeof(MEMORYSTATUSEX));
  EXPECT_GT(status.ullTotalPhys, 16u << 20);
  EXPECT_LE(status.ullAvailPhys, status.ullTotalPhys);
  MEMORYSTATUS narrow;
  GlobalMemoryStatus(&narrow);
  EXPECT_EQ(narrow.dwTotalPhys, std::min<std::uint64_t>(status.ullTotalPhys, 0xFFFFFFFF));
  EXPECT_FALSE(GlobalMemoryStatusEx(nullptr));
}

}  // namespace
