// System information: processor, memory and version facts.
#pragma once

#include "platform/kernel/types.h"

inline constexpr DWORD PROCESSOR_INTEL_386 = 386;
inline constexpr DWORD PROCESSOR_INTEL_486 = 486;
inline constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;
inline constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
inline constexpr WORD PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;

struct SYSTEM_INFO {
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  std::uintptr_t dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
  WORD wProcessorArchitecture;
};

struct MEMORYSTATUS {
  DWORD dwLength;
  DWORD dwMemoryLoad;
  // Byte counts clamped to 32 bits, as the game stores them.
  DWORD dwTotalPhys;
  DWORD dwAvailPhys;
  DWORD dwTotalPageFile;
  DWORD dwAvailPageFile;
  DWORD dwTotalVirtual;
  DWORD dwAvailVirtual;
};

// The same facts in 64 bits, so that a machine of more than 4 GB is not cut to 4 GB.
struct MEMORYSTATUSEX {
  DWORD dwLength;
  DWORD dwMemoryLoad;
  std::uint64_t ullTotalPhys;
  std::uint64_t ullAvailPhys;
};

// Processor type 586 on x86-64; allocation granularity 65536.
void GetSystemInfo(SYSTEM_INFO* info);
void GlobalMemoryStatus(MEMORYSTATUS* status);
BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status);
DWORD GetVersion();
