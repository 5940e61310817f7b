#include "battle/processor/cpu_type.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "scripted_processor.h"

namespace {

class CpuType : public ::testing::Test {
 protected:
  void SetUp() override { gNonIntelProcessor = 0; }
  void TearDown() override { gNonIntelProcessor = 0; }
};

struct GenerationCase {
  const char* name;
  DWORD fixedFlags;
  DWORD fixedFlagValues;
  bool cyrix;
  DWORD expectedType;
};

class CpuGeneration : public CpuType, public ::testing::WithParamInterface<GenerationCase> {};

TEST_P(CpuGeneration, FlagTestsWithoutCpuidGiveTheType) {
  const GenerationCase& c = GetParam();
  test::ScriptedProcessor processor;
  processor.fixedFlags = c.fixedFlags;
  processor.fixedFlagValues = c.fixedFlagValues;
  processor.cyrix = c.cyrix;
  processor.RemoveCpuid();
  platform::ScopedProcessorSource scope(processor);
  const DWORD flagsBefore = processor.ReadFlags();

  EXPECT_EQ(HasCpuidInstruction(), 0);
  EXPECT_EQ(GetCpuType(), c.expectedType);
  EXPECT_EQ(GetCpuFeatures(), 0u);
  EXPECT_EQ(processor.cpuidCalls, 0);
  EXPECT_EQ(gNonIntelProcessor, c.cyrix ? 1 : 0);
  EXPECT_EQ(processor.ReadFlags(), flagsBefore);
}

constexpr DWORD kAc = platform::kFlagsAlignmentCheck;

INSTANTIATE_TEST_SUITE_P(
    Table, CpuGeneration,
    ::testing::Values(
        // 8086: bits 12-15 always read 1.
        GenerationCase{"i8086", test::kFlagsHighNibble | kAc, test::kFlagsHighNibble, false, 0},
        // 286 in real mode: bits 12-15 always read 0.
        GenerationCase{"i80286", test::kFlagsHighNibble | kAc, 0, false, 2},
        // 386: bit 15 reserved, no alignment-check flag.
        GenerationCase{"i80386", test::kFlagsReserved15 | kAc, 0, false, 3},
        GenerationCase{"i80486", test::kFlagsReserved15, 0, false, 4},
        GenerationCase{"cyrix486", test::kFlagsReserved15, 0, true, 4 | kCpuTypeNotIntel},
        GenerationCase{"cyrix386", test::kFlagsReserved15 | kAc, 0, true, 3 | kCpuTypeNotIntel}),
    [](const ::testing::TestParamInfo<GenerationCase>& info) { return info.param.name; });

struct VendorCase {
  const char* name;
  const char* vendor;
  DWORD family;
  DWORD expectedType;
};

class CpuVendor : public CpuType, public ::testing::WithParamInterface<VendorCase> {};

TEST_P(CpuVendor, CpuidGivesFamilyAndMarksOtherVendors) {
  const VendorCase& c = GetParam();
  test::ScriptedProcessor processor;
  processor.vendor = c.vendor;
  processor.family = c.family;
  processor.features = 0x8001BF;
  platform::ScopedProcessorSource scope(processor);

  EXPECT_EQ(HasCpuidInstruction(), 1);
  EXPECT_EQ(GetCpuType(), c.expectedType);
  EXPECT_EQ(GetCpuidFamily(), c.family);
  EXPECT_EQ(GetCpuFeatures(), 0x8001BFu);
  EXPECT_EQ(gNonIntelProcessor, (c.expectedType & kCpuTypeNotIntel) != 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CpuVendor,
    ::testing::Values(VendorCase{"Pentium", "GenuineIntel", 5, 5},
                      VendorCase{"PentiumPro", "GenuineIntel", 6, 6},
                      VendorCase{"Amd", "AuthenticAMD", 5, 5 | kCpuTypeNotIntel},
                      VendorCase{"Cyrix", "CyrixInstead", 6, 6 | kCpuTypeNotIntel},
                      // The comparison takes all twelve characters.
                      VendorCase{"AlmostIntel", "GenuineIntex", 6, 6 | kCpuTypeNotIntel}),
    [](const ::testing::TestParamInfo<VendorCase>& info) { return info.param.name; });

TEST_F(CpuType, NonIntelFlagStaysOnceSet) {
  test::ScriptedProcessor processor;
  processor.vendor = "AuthenticAMD";
  platform::ScopedProcessorSource scope(processor);
  GetCpuFeatures();
  processor.vendor = "GenuineIntel";
  EXPECT_EQ(GetCpuType(), 6 | kCpuTypeNotIntel);
}

std::string ProcVendor() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("vendor_id", 0) == 0) {
      return line.substr(line.find(':') + 2);
    }
  }
  return {};
}

TEST_F(CpuType, RealProcessorAnswersAsAModernOne) {
  platform::ProcessorSource& processor = platform::GetProcessorSource();
  const DWORD flagsBefore = processor.ReadFlags();
  EXPECT_EQ(HasCpuidInstruction(), 1);
  EXPECT_EQ(Check8086(), 0);
  EXPECT_EQ(Check80286(), 0);
  EXPECT_EQ(Check80386(), 0);
  EXPECT_EQ(IsCyrix(), 0);
  EXPECT_EQ(processor.ReadFlags(), flagsBefore);
}

TEST_F(CpuType, RealProcessorVendorDecidesBit15) {
  const std::string vendor = ProcVendor();
  ASSERT_FALSE(vendor.empty());
  const DWORD type = GetCpuType();
  EXPECT_EQ((type & kCpuTypeNotIntel) != 0, vendor != "GenuineIntel") << vendor;
  EXPECT_NE(GetCpuFeatures() & kCpuFeatureTsc, 0u);
}

}  // namespace
