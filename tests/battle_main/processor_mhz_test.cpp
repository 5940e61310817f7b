#include "battle/main/processor_mhz.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "scripted_processor.h"

namespace {

// The first "cpu MHz" of /proc/cpuinfo, which the registry serves as "~MHz"; -1 without one.
long ProcCpuMhz() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("cpu MHz", 0) == 0) {
      return std::lround(std::stod(line.substr(line.find(':') + 1)));
    }
  }
  return -1;
}

TEST(ProcessorMhz, RegistryValueComesBeforeAnyMeasurement) {
  gNonIntelProcessor = 0;
  test::ScriptedProcessor processor;
  processor.vendor = "AuthenticAMD";
  platform::ScopedProcessorSource scope(processor);
  const long recorded = ProcCpuMhz();
  const DWORD mhz = GetProcessorMhz(0);
  if (recorded >= 0) {
    EXPECT_EQ(mhz, static_cast<DWORD>(recorded));
    EXPECT_EQ(processor.cpuidCalls, 0);
  } else {
    // No recorded clock: the measurement runs, and reports 0 for this vendor.
    EXPECT_EQ(mhz, 0u);
    EXPECT_GT(processor.cpuidCalls, 0);
  }
  gNonIntelProcessor = 0;
}

}  // namespace
