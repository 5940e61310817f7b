#include "platform/kernel/registry.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "base/byte_writer.h"

namespace {

constexpr const char* kProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr const char* kClockValue = "~MHz";

// RegCloseKey closes it.
class ProcessorKey : public platform::KernelObject {
 public:
  bool ClosedByCloseHandle() const override { return false; }
};

long ReadCpuMhz() {
  std::ifstream file("/proc/cpuinfo");
  std::stringstream text;
  text << file.rdbuf();
  return platform::ParseCpuMhz(text.str().c_str());
}

class SystemValues : public platform::ProcessorKeyValues {
 public:
  std::optional<DWORD> Value(const char* name) override {
    if (::strcasecmp(name, kClockValue) != 0) {
      return std::nullopt;
    }
    const long mhz = ReadCpuMhz();
    return mhz < 0 ? std::nullopt : std::optional<DWORD>(static_cast<DWORD>(mhz));
  }
};

platform::ProcessorKeyValues* gReplacedValues = nullptr;

platform::ProcessorKeyValues& CurrentValues() {
  static SystemValues system;
  return gReplacedValues != nullptr ? *gReplacedValues : system;
}

}  // namespace

namespace platform {

long ParseCpuMhz(const char* cpuinfo) {
  std::istringstream lines(cpuinfo != nullptr ? cpuinfo : "");
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || line.compare(0, 7, "cpu MHz") != 0 ||
        line.find_first_not_of(" \t", 7) != colon) {
      continue;
    }
    const char* number = line.c_str() + colon + 1;
    char* end = nullptr;
    const double mhz = std::strtod(number, &end);
    if (end == number || !std::isfinite(mhz) || mhz < 0 || mhz > 1e9) {
      return -1;
    }
    return std::lround(mhz);
  }
  return -1;
}

ProcessorKeyValues* SetProcessorKeyValues(ProcessorKeyValues* values) {
  ProcessorKeyValues* previous = gReplacedValues;
  gReplacedValues = values;
  return previous;
}

}  // namespace platform

LONG RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD /*options*/, REGSAM /*access*/, HKEY* result) {
  if (result == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  *result = nullptr;
  if (parent != HKEY_LOCAL_MACHINE) {
    return ERROR_INVALID_HANDLE;
  }
  if (subKey == nullptr || ::strcasecmp(subKey, kProcessorKey) != 0) {
    return ERROR_FILE_NOT_FOUND;
  }
  *result = platform::IssueHandle(std::make_shared<ProcessorKey>());
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR name, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
  if (key == HKEY_LOCAL_MACHINE) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (platform::HandleAs<ProcessorKey>(key) == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  const std::optional<DWORD> mhz = name == nullptr ? std::nullopt : CurrentValues().Value(name);
  if (!mhz) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (data != nullptr && dataSize == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  if (type != nullptr) {
    *type = REG_DWORD;
  }
  if (data == nullptr) {
    if (dataSize != nullptr) {
      *dataSize = sizeof(DWORD);
    }
    return ERROR_SUCCESS;
  }
  const DWORD capacity = *dataSize;
  *dataSize = sizeof(DWORD);
  if (capacity < sizeof(DWORD)) {
    return ERROR_MORE_DATA;
  }
  arena::ByteWriter value;
  value.U32(*mhz);
  std::copy(value.bytes().begin(), value.bytes().end(), data);
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) {
    return ERROR_SUCCESS;
  }
  return platform::CloseHandleAs<ProcessorKey>(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
