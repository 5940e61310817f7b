// The registry as far as the game reads it: the first processor's clock, served from the
// running system.
#pragma once

#include <cstdint>

#include "platform/kernel/handle.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/types.h"

using HKEY = HANDLE;
using REGSAM = DWORD;

inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});

inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr DWORD REG_DWORD = 4;

// Opens HKEY_LOCAL_MACHINE\HARDWARE\DESCRIPTION\System\CentralProcessor\0 (names compared
// ignoring letter case); every other key is not found.
LONG RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
// Serves the processor key's DWORD "~MHz": the first processor's clock from /proc/cpuinfo,
// rounded. Every other value is not found, and so is "~MHz" where the system gives no clock.
LONG RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegCloseKey(HKEY key);

namespace platform {

// The first "cpu MHz" of a /proc/cpuinfo text, rounded to whole MHz; -1 when there is none.
long ParseCpuMhz(const char* cpuinfo);

}  // namespace platform
