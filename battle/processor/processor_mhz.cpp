#include "battle/processor/processor_mhz.h"

#include "base/byte_reader.h"
#include "battle/processor/cpu_speed.h"
#include "platform/kernel/registry.h"

namespace {

constexpr const char* kValueNames[] = {"~MHz", "~Mhz", "~mhz"};

// The first of the clock's value names that the key holds as a DWORD.
bool QueryClockValue(HKEY key, DWORD* mhz) {
  for (const char* name : kValueNames) {
    BYTE data[4] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, data, &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof data) {
      *mhz = arena::ByteReader(data, sizeof data).U32();
      return true;
    }
  }
  return false;
}

}  // namespace

DWORD GetProcessorMhz(int clocks) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0,
                    KEY_READ, &key) == ERROR_SUCCESS) {
    DWORD mhz = 0;
    const bool found = QueryClockValue(key, &mhz);
    RegCloseKey(key);
    if (found) {
      return mhz;
    }
  }
  return MeasureCpuSpeed(clocks).normalizedMhz;
}
