#include "battle/core/system_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/byte_reader.h"
#include "platform/kernel/sysinfo.h"
#include "tests/battle_processor/scripted_processor.h"

namespace {

std::uint32_t WordAt(std::size_t index) {
  arena::ByteReader reader(SystemInfoBuffer.data);
  reader.Seek(4 * index);
  return reader.U32();
}

DWORD TotalPhysicalMemory() {
  MEMORYSTATUS memory{};
  GlobalMemoryStatus(&memory);
  return memory.dwTotalPhys;
}

class SystemInfoTest : public testing::Test {
 protected:
  SystemInfoTest() {
    ResetSystemInfo();
    gNonIntelProcessor = 0;
  }
  ~SystemInfoTest() override {
    ResetSystemInfo();
    gNonIntelProcessor = 0;
  }
};

TEST_F(SystemInfoTest, WordsAreLittleEndianAndTheBufferDropsWhatDoesNotFit) {
  AppendSystemInfoWord(0x11223344);
  ASSERT_EQ(SystemInfoBuffer.length, 4u);
  EXPECT_EQ(SystemInfoBuffer.data[0], 0x44);
  EXPECT_EQ(SystemInfoBuffer.data[3], 0x11);
  for (std::uint32_t i = 1; i < kSystemInfoCapacity / 4; ++i) {
    AppendSystemInfoWord(i);
  }
  EXPECT_EQ(SystemInfoBuffer.length, kSystemInfoCapacity);
  AppendSystemInfoWord(0xDEADBEEF);
  EXPECT_EQ(SystemInfoBuffer.length, kSystemInfoCapacity);
  EXPECT_EQ(WordAt(kSystemInfoCapacity / 4 - 1), kSystemInfoCapacity / 4 - 1);
  ResetSystemInfo();
  EXPECT_EQ(SystemInfoBuffer.length, 0u);
}

struct ProcessorCase {
  const char* name;
  DWORD processorType;
  const char* vendor;
  bool executesCpuid;
  std::vector<std::uint32_t> leadingWords;
};

class SystemReport : public SystemInfoTest, public testing::WithParamInterface<ProcessorCase> {};

// A processor of family 5 with a time-stamp counter (below type 586 without CPUID either). The
// performance counter moves by 1193 ticks (1 ms) and the time-stamp counter by 200000 cycles at
// each read: a 200 MHz processor.
TEST_P(SystemReport, HoldsTheSevenWordsInOrder) {
  const ProcessorCase& c = GetParam();
  test::ScriptedProcessor processor;
  processor.vendor = c.vendor;
  processor.family = 5;
  processor.features = kCpuFeatureTsc | 0x8000;
  std::uint64_t stamp = 0;
  processor.timeStamp = [&stamp] { return stamp += 200000; };
  if (c.processorType < PROCESSOR_INTEL_PENTIUM) {
    processor.RemoveCpuid();
  }
  platform::ScopedProcessorSource scopedProcessor(processor);
  test::StepClock clock(1193182, {1193});
  platform::ScopedProcessClock scopedClock(clock);

  AppendSystemFacts(GatherSystemFacts(c.processorType));

  ASSERT_EQ(SystemInfoBuffer.length, 28u);
  for (std::size_t i = 0; i < c.leadingWords.size(); ++i) {
    EXPECT_EQ(WordAt(i), c.leadingWords[i]) << "word " << i;
  }
  EXPECT_EQ(processor.cpuidCalls > 0, c.executesCpuid);
  EXPECT_EQ(WordAt(6), TotalPhysicalMemory());
}

INSTANTIATE_TEST_SUITE_P(
    Processors, SystemReport,
    testing::Values(
        // "Genu" "ineI" "ntel" as EBX, EDX, ECX.
        ProcessorCase{"Pentium",
                      PROCESSOR_INTEL_PENTIUM,
                      "GenuineIntel",
                      true,
                      {0x521, 0x8010, 0x756E6547, 0x49656E69, 0x6C65746E, 200}},
        // The clock of a processor of another vendor is not measured.
        ProcessorCase{"OtherVendor",
                      PROCESSOR_INTEL_PENTIUM,
                      "AuthenticAMD",
                      true,
                      {0x521, 0x8010, 0x68747541, 0x69746E65, 0x444D4163, 0}},
        ProcessorCase{"I486", PROCESSOR_INTEL_486, "GenuineIntel", false, {0x400, 0, 0, 0, 0}},
        ProcessorCase{"I386", PROCESSOR_INTEL_386, "GenuineIntel", false, {0x300, 0, 0, 0, 0}},
        ProcessorCase{"Unknown", 0, "GenuineIntel", false, {0, 0, 0, 0, 0}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
