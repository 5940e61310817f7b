#include "battle/processor/processor_mhz.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/kernel/registry.h"
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

// A machine's processor key holding exactly the listed values (names as written), recording
// the names asked for.
class ListedValues : public platform::ProcessorKeyValues {
 public:
  explicit ListedValues(std::map<std::string, DWORD> values) : values_(std::move(values)) {}
  std::optional<DWORD> Value(const char* name) override {
    asked.push_back(name);
    const auto found = values_.find(name);
    return found == values_.end() ? std::nullopt : std::optional<DWORD>(found->second);
  }
  std::vector<std::string> asked;

 private:
  std::map<std::string, DWORD> values_;
};

struct SpellingCase {
  const char* name;
  std::map<std::string, DWORD> values;
  DWORD expected;
  std::vector<std::string> asked;
};

TEST(ProcessorMhz, OlderSpellingsOfTheValueAreTriedInTurn) {
  const SpellingCase cases[] = {
      {"AllThree", {{"~MHz", 500}, {"~Mhz", 600}, {"~mhz", 700}}, 500, {"~MHz"}},
      {"SecondSpelling", {{"~Mhz", 600}, {"~mhz", 700}}, 600, {"~MHz", "~Mhz"}},
      {"ThirdSpelling", {{"~mhz", 700}}, 700, {"~MHz", "~Mhz", "~mhz"}},
      // None: the measurement, which reports 0 for a processor that is not Intel's.
      {"None", {{"~MHZ", 800}}, 0, {"~MHz", "~Mhz", "~mhz"}},
  };
  for (const SpellingCase& c : cases) {
    SCOPED_TRACE(c.name);
    gNonIntelProcessor = 0;
    test::ScriptedProcessor processor;
    processor.vendor = "AuthenticAMD";
    platform::ScopedProcessorSource processorScope(processor);
    ListedValues values(c.values);
    platform::ScopedProcessorKeyValues valuesScope(values);
    EXPECT_EQ(GetProcessorMhz(0), c.expected);
    EXPECT_EQ(values.asked, c.asked);
    EXPECT_EQ(processor.cpuidCalls > 0, c.expected == 0);
  }
  gNonIntelProcessor = 0;
}

}  // namespace
