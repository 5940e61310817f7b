// The machine facts that the game reports to the server once logged in (MSG_SYSTEM_INFO): the
// processor's signature, features and vendor, its clock and the physical memory.
#pragma once

#include <array>
#include <cstdint>

#include "battle/processor/cpu_speed.h"
#include "platform/kernel/types.h"

inline constexpr std::uint32_t kSystemInfoCapacity = 8192;

// The bytes of the report's payload, little-endian words.
struct SystemInfoBytes {
  std::array<std::uint8_t, kSystemInfoCapacity> data{};
  std::uint32_t length = 0;
};

extern SystemInfoBytes SystemInfoBuffer;

void ResetSystemInfo();
// Appends one word; a word that does not fit is dropped.
void AppendSystemInfoWord(std::uint32_t word);

struct SystemFacts {
  // EAX of CPUID leaf 1; without CPUID 0x300 for a 386, 0x400 for a 486, else 0.
  DWORD signature = 0;
  // EDX of CPUID leaf 1.
  DWORD features = 0;
  // EBX, EDX and ECX of CPUID leaf 0: the vendor text.
  std::array<DWORD, 3> vendor{};
  CpuSpeedInfo speed{};
  DWORD totalPhysicalMemory = 0;
};

// The facts of this machine, with the processor type that the system reports.
SystemFacts GatherSystemFacts();
// The same for a given processor type: CPUID runs only from type 586 on.
SystemFacts GatherSystemFacts(DWORD processorType);
// Appends the report's seven words: signature, features, the three vendor words, the normalized
// clock in MHz and the physical memory in bytes.
void AppendSystemFacts(const SystemFacts& facts);
