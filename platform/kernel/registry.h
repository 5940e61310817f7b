// The registry as far as the game reads it: the first processor's clock, served from the
// running system.
#pragma once

#include <cstdint>
#include <optional>

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
// Serves the processor key's DWORD values from its value source (below).
LONG RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegCloseKey(HKEY key);

namespace platform {

// The first "cpu MHz" of a /proc/cpuinfo text, rounded to whole MHz; -1 when there is none.
long ParseCpuMhz(const char* cpuinfo);

// Where the processor key's values come from. The running system's source serves "~MHz" (in
// any letter case, as registry names are) with the first processor's clock from /proc/cpuinfo,
// rounded, and nothing else; tests put their own to serve what a machine's registry may hold.
class ProcessorKeyValues {
 public:
  virtual ~ProcessorKeyValues() = default;
  // The DWORD value of that name; nothing when the key holds none.
  virtual std::optional<DWORD> Value(const char* name) = 0;
};

// Replaces the value source; null restores the running system's. Returns the previous
// replacement.
ProcessorKeyValues* SetProcessorKeyValues(ProcessorKeyValues* values);

// Installs a value source for the lifetime of a scope (tests).
class ScopedProcessorKeyValues {
 public:
  explicit ScopedProcessorKeyValues(ProcessorKeyValues& values)
      : previous_(SetProcessorKeyValues(&values)) {}
  ~ScopedProcessorKeyValues() { SetProcessorKeyValues(previous_); }
  ScopedProcessorKeyValues(const ScopedProcessorKeyValues&) = delete;
  ScopedProcessorKeyValues& operator=(const ScopedProcessorKeyValues&) = delete;

 private:
  ProcessorKeyValues* previous_;
};

}  // namespace platform
