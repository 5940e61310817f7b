#include "platform/kernel/sysinfo.h"

#include <sys/sysinfo.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

namespace {

constexpr DWORD kPageSize = 4096;
constexpr DWORD kAllocationGranularity = 65536;
// The user address space that a 32-bit program saw: 2 GB less the guard regions at both ends.
constexpr std::uintptr_t kMinimumApplicationAddress = 0x10000;
constexpr std::uintptr_t kMaximumApplicationAddress = 0x7FFEFFFF;
constexpr std::uint64_t kTotalVirtual = 0x7FFE0000;

DWORD ClampToDword(std::uint64_t value) {
  return static_cast<DWORD>(std::min<std::uint64_t>(value, 0xFFFFFFFF));
}

// The kernel's estimate of memory available without swapping, in bytes; 0 when it gives none.
std::uint64_t MemAvailableBytes() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  std::uint64_t kilobytes = 0;
  std::string unit;
  while (meminfo >> key >> kilobytes) {
    if (key == "MemAvailable:") {
      return kilobytes * 1024;
    }
    std::getline(meminfo, unit);
  }
  return 0;
}

struct PhysicalMemory {
  std::uint64_t total;
  std::uint64_t available;
  DWORD load;
};

PhysicalMemory ReadPhysicalMemory() {
  struct sysinfo facts {};
  ::sysinfo(&facts);
  const std::uint64_t unit = facts.mem_unit != 0 ? facts.mem_unit : 1;
  PhysicalMemory physical{facts.totalram * unit, MemAvailableBytes(), 0};
  if (physical.available == 0) {
    physical.available = (facts.freeram + facts.bufferram) * unit;
  }
  physical.available = std::min(physical.available, physical.total);
  physical.load =
      physical.total == 0
          ? 0
          : static_cast<DWORD>((physical.total - physical.available) * 100 / physical.total);
  return physical;
}

}  // namespace

void GetSystemInfo(SYSTEM_INFO* info) {
  if (info == nullptr) {
    return;
  }
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  const DWORD processors = online > 0 ? static_cast<DWORD>(online) : 1;
  *info = SYSTEM_INFO{};
  info->dwPageSize = kPageSize;
  info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(kMinimumApplicationAddress);
  info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(kMaximumApplicationAddress);
  info->dwActiveProcessorMask = processors >= 8 * sizeof(std::uintptr_t)
                                    ? ~std::uintptr_t{0}
                                    : (std::uintptr_t{1} << processors) - 1;
  info->dwNumberOfProcessors = processors;
  info->dwAllocationGranularity = kAllocationGranularity;
#if defined(__x86_64__) || defined(__i386__)
  // Every x86-64 processor has all that the game asks of a Pentium.
  info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  info->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
  info->wProcessorLevel = 5;
#else
  info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
#endif
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
  if (status == nullptr) {
    return;
  }
  struct sysinfo facts {};
  ::sysinfo(&facts);
  const std::uint64_t unit = facts.mem_unit != 0 ? facts.mem_unit : 1;
  const PhysicalMemory physical = ReadPhysicalMemory();
  const std::uint64_t totalSwap = facts.totalswap * unit;
  const std::uint64_t freeSwap = facts.freeswap * unit;

  *status = MEMORYSTATUS{};
  status->dwLength = sizeof(MEMORYSTATUS);
  status->dwMemoryLoad = physical.load;
  status->dwTotalPhys = ClampToDword(physical.total);
  status->dwAvailPhys = ClampToDword(physical.available);
  status->dwTotalPageFile = ClampToDword(physical.total + totalSwap);
  status->dwAvailPageFile = ClampToDword(physical.available + freeSwap);
  status->dwTotalVirtual = ClampToDword(kTotalVirtual);
  status->dwAvailVirtual = ClampToDword(kTotalVirtual);
}

BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status) {
  if (status == nullptr) {
    return FALSE;
  }
  const PhysicalMemory physical = ReadPhysicalMemory();
  *status = MEMORYSTATUSEX{};
  status->dwLength = sizeof(MEMORYSTATUSEX);
  status->dwMemoryLoad = physical.load;
  status->ullTotalPhys = physical.total;
  status->ullAvailPhys = physical.available;
  return TRUE;
}

DWORD GetVersion() {
  // Windows 95 (4.0, build 950): the version the game was made for. The set top bit marks a
  // system that is not NT, and the rest of the high word is the build, so a version check reads
  // "Windows 95 4.0 (Build: 950)" and passes.
  constexpr DWORD kMajor = 4;
  constexpr DWORD kMinor = 0;
  constexpr DWORD kBuild = 950;
  return 0x80000000u | (kBuild << 16) | (kMinor << 8) | kMajor;
}
