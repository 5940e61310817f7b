// Processor identification: the family and vendor of the processor, with CPUID where it exists
// and by the flag-register tests of the older generations where it does not.
#pragma once

#include <atomic>

#include "platform/kernel/types.h"

// Bit 15 of the processor type word: the processor is not a "GenuineIntel" one.
inline constexpr DWORD kCpuTypeNotIntel = 0x8000;
// Bit 4 of the CPUID feature word: the processor has a time-stamp counter.
inline constexpr DWORD kCpuFeatureTsc = 0x10;

// Set by every vendor comparison that fails and by the Cyrix test; never cleared, since the
// processor does not change under a running program.
extern std::atomic<int> gNonIntelProcessor;

// 1 when the ID flag (EFLAGS bit 21) can be toggled, that is when CPUID exists; else 0.
int HasCpuidInstruction();
// The processor type word: the family in the low byte (0 for an 8086, 2 for a 286, 3 for a 386,
// 4 for a 486 without CPUID, otherwise the CPUID family), kCpuTypeNotIntel when not Intel.
DWORD GetCpuType();
// The family of CPUID leaf 1 (EAX bits 8-11); marks a vendor other than "GenuineIntel".
DWORD GetCpuidFamily();
// EDX of CPUID leaf 1 after the same vendor comparison, or 0 without CPUID.
DWORD GetCpuFeatures();
// 1 on a Cyrix: a division that leaves the zero flag as it was.
int IsCyrix();
// 1 on an 8086: FLAGS bits 12-15 cannot be cleared.
int Check8086();
// 1 on a 286: FLAGS bits 12-15 cannot be set.
int Check80286();
// 1 on a 386: the alignment-check flag (EFLAGS bit 18) cannot be toggled.
int Check80386();
