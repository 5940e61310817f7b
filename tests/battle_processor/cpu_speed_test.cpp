#include "battle/processor/cpu_speed.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "battle/processor/cpu_type.h"
#include "scripted_processor.h"

namespace {

class CpuSpeed : public ::testing::Test {
 protected:
  void SetUp() override { gNonIntelProcessor = 0; }
  void TearDown() override { gNonIntelProcessor = 0; }
};

// The time-stamp method on a counter of 1 MHz that moves one tick per read: every try reads the
// counter once to start, 50 times to settle and 1000 times in its window, so try k spans ticks
// 1051k to 1051k + 1050 and times 1000 us. Its time-stamp counter runs at the try's rate, given
// in hundredths of a MHz (the last rate holds for any later try).
class TscMachine {
 public:
  explicit TscMachine(std::vector<DWORD> rates) : clock_(1000000, {1}), rates_(std::move(rates)) {
    processor_.timeStamp = [this] {
      const std::uint64_t tick = static_cast<std::uint64_t>(clock_.last());
      const std::uint64_t tryIndex = tick / kTicksPerTry;
      const DWORD rate = rates_[std::min<std::size_t>(tryIndex, rates_.size() - 1)];
      return tryIndex * 10000000000ull + (tick - tryIndex * kTicksPerTry) * rate / 100;
    };
  }
  CpuSpeedInfo Measure() {
    platform::ScopedProcessClock clockScope(clock_);
    platform::ScopedProcessorSource processorScope(processor_);
    return MeasureCpuSpeedTsc();
  }

 private:
  static constexpr std::uint64_t kTicksPerTry = 1051;
  test::StepClock clock_;
  test::ScriptedProcessor processor_;
  std::vector<DWORD> rates_;
};

std::vector<DWORD> Alternating(DWORD first, DWORD second) {
  std::vector<DWORD> rates;
  for (int i = 0; i < 10; ++i) {
    rates.push_back(first);
    rates.push_back(second);
  }
  return rates;
}

struct TscCase {
  const char* name;
  std::vector<DWORD> rates;
  DWORD tries;
  DWORD rawMhz;
  DWORD normalizedMhz;
};

class TscMethod : public CpuSpeed, public ::testing::WithParamInterface<TscCase> {};

TEST_P(TscMethod, TriesAndRounding) {
  const TscCase& c = GetParam();
  DWORD cycles = 0;
  for (DWORD k = 0; k < c.tries; ++k) {
    cycles += c.rates[std::min<std::size_t>(k, c.rates.size() - 1)] * 10;
  }
  TscMachine machine(c.rates);
  EXPECT_EQ(machine.Measure(), (CpuSpeedInfo{cycles, c.tries * 1000, c.rawMhz, c.normalizedMhz}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TscMethod,
    ::testing::Values(
        // A normalized clock rounds up only from 0.6 MHz, the hundredths carrying into tenths.
        TscCase{"At199_55RoundsDown", {19955}, 3, 199, 199},
        TscCase{"At199_56HundredthsCarry", {19956}, 3, 199, 200},
        TscCase{"At199_60RoundsUp", {19960}, 3, 199, 200},
        TscCase{"At200_00", {20000}, 3, 200, 200},
        // Three tries agree when each is within 1 MHz of their mean (|3m - sum| <= 3).
        TscCase{"AgreeWithinOne", {20000, 20100, 19900}, 3, 200, 200},
        TscCase{"SettlesAfterFive", {10000, 11000, 12000}, 5, 114, 114},
        TscCase{"JustOutsideAgreement", {20000, 20200, 20000}, 5, 200, 200},
        TscCase{"NeverAgreesStopsAtTwenty", Alternating(10000, 20000), 20, 150, 150},
        // 60 million cycles: in 32 bits their hundredths would wrap and round up to 3001.
        TscCase{"LargeTotalsKeepRounding", Alternating(299050, 301050), 20, 3000, 3000}),
    [](const ::testing::TestParamInfo<TscCase>& info) { return info.param.name; });

struct CounterGuardCase {
  const char* name;
  std::int64_t frequency;
};

class TscGuard : public CpuSpeed, public ::testing::WithParamInterface<CounterGuardCase> {};

TEST_P(TscGuard, UnusableCounterMeasuresNothing) {
  test::StepClock clock(GetParam().frequency, {1});
  test::ScriptedProcessor processor;
  platform::ScopedProcessClock clockScope(clock);
  platform::ScopedProcessorSource processorScope(processor);
  EXPECT_EQ(MeasureCpuSpeedTsc(), CpuSpeedInfo{});
  EXPECT_EQ(MeasureCpuSpeedBsf(300000), CpuSpeedInfo{});
}

INSTANTIATE_TEST_SUITE_P(Table, TscGuard,
                         ::testing::Values(CounterGuardCase{"NoCounter", 0},
                                           CounterGuardCase{"TenthOfFrequencyZero", 9},
                                           // 1000 ticks make less than a microsecond.
                                           CounterGuardCase{"TooFast", 2000000000}),
                         [](const ::testing::TestParamInfo<CounterGuardCase>& info) {
                           return info.param.name;
                         });

struct CmosCase {
  const char* name;
  std::vector<BYTE> seconds;
  std::uint64_t firstStamp;
  std::uint64_t secondStamp;
  CpuSpeedInfo expected;
};

class CmosMethod : public CpuSpeed, public ::testing::WithParamInterface<CmosCase> {};

TEST_P(CmosMethod, TimesOneChangeOfTheSecondsRegister) {
  const CmosCase& c = GetParam();
  test::ScriptedProcessor processor;
  processor.seconds.assign(c.seconds.begin(), c.seconds.end());
  std::vector<std::uint64_t> stamps = {c.firstStamp, c.secondStamp};
  processor.timeStamp = [&stamps, &processor] { return stamps.at(processor.timeStampReads - 1); };
  platform::ScopedProcessorSource scope(processor);

  EXPECT_EQ(MeasureCpuSpeedCmos(), c.expected);
  EXPECT_TRUE(processor.seconds.empty());
  EXPECT_EQ(processor.timeStampReads, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CmosMethod,
    ::testing::Values(
        CmosCase{"At199_55RoundsDown",
                 {30, 30, 31, 31, 31, 32},
                 5000,
                 5000 + 199550000,
                 {199550000, 1000000, 199, 199}},
        CmosCase{"At199_60RoundsUp",
                 {30, 31, 32},
                 5000,
                 5000 + 199600000,
                 {199600000, 1000000, 199, 200}},
        // A read exactly 10 lower is no change; any other lower read is one.
        CmosCase{"ExactlyTenLowerIgnored",
                 {30, 20, 20, 31, 21, 32},
                 0,
                 100000000,
                 {100000000, 1000000, 100, 100}},
        CmosCase{
            "OtherLowerReadCounts", {30, 25, 26}, 0, 100000000, {100000000, 1000000, 100, 100}},
        // The minute's wrap from 59 to 0 is still one second.
        CmosCase{"MinuteWrap", {58, 59, 0}, 0, 100000000, {100000000, 1000000, 100, 100}},
        // The counter's low word wraps between the readings.
        CmosCase{"StampLowWordWraps",
                 {10, 11, 12},
                 0x1FFFFFFFFull,
                 0x1FFFFFFFFull + 166000000,
                 {166000000, 1000000, 166, 166}}),
    [](const ::testing::TestParamInfo<CmosCase>& info) { return info.param.name; });

struct BsfCase {
  const char* name;
  std::int64_t frequency;
  std::vector<std::int64_t> steps;
  DWORD cycles;
  CpuSpeedInfo expected;
};

class BsfMethod : public CpuSpeed, public ::testing::WithParamInterface<BsfCase> {};

TEST_P(BsfMethod, FastestOfTenRuns) {
  const BsfCase& c = GetParam();
  test::StepClock clock(c.frequency, c.steps);
  test::ScriptedProcessor processor;
  platform::ScopedProcessClock clockScope(clock);
  platform::ScopedProcessorSource processorScope(processor);
  EXPECT_EQ(MeasureCpuSpeedBsf(c.cycles), c.expected);
  EXPECT_EQ(clock.reads(), 20u);
  EXPECT_EQ(processor.bitScanLoopRuns, 10);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BsfMethod,
    ::testing::Values(
        // Each run's time is the step after its first read: here 1200, 1000 and 1500 ticks.
        BsfCase{"Smallest", 1000000, {1200, 3, 1000, 3, 1500, 3}, 300000, {300000, 1000, 300, 300}},
        BsfCase{"RoundsAboveHalf", 1000000, {600}, 1000, {1000, 600, 1, 2}},
        BsfCase{"RoundsNotAtHalf", 1000000, {600}, 900, {900, 600, 1, 1}},
        // 1 tick of 110 Hz is 9090 us, whose remainder by the frequency (70) is above half.
        BsfCase{"MicrosecondsRoundUp", 110, {1}, 90910, {90910, 9091, 10, 10}},
        // A counter that never moves during the loop gives nothing to divide by.
        BsfCase{"NoTimePassed", 1000000, {0}, 300000, {}}),
    [](const ::testing::TestParamInfo<BsfCase>& info) { return info.param.name; });

// The counter stands still between reads, so what the loop runs take is all that is timed: the
// fastest of the ten runs of 4000 passes gives the clock.
TEST_F(CpuSpeed, LoopMethodTimesTheProcessorsLoop) {
  test::StepClock clock(1000000, {0});
  test::ScriptedProcessor processor;
  const std::int64_t runTicks[] = {1500, 1300, 1200, 1250, 1900, 1201, 1400, 1200, 1333, 2000};
  std::vector<WORD> passes;
  processor.bitScanLoop = [&](WORD count) {
    passes.push_back(count);
    clock.Advance(runTicks[passes.size() - 1]);
  };
  platform::ScopedProcessClock clockScope(clock);
  platform::ScopedProcessorSource processorScope(processor);

  EXPECT_EQ(MeasureCpuSpeedBsf(152000), (CpuSpeedInfo{152000, 1200, 126, 127}));
  EXPECT_EQ(passes, std::vector<WORD>(10, 4000));
}

// Which method MeasureCpuSpeed chose, told by what it read.
enum class Method { kNone, kTsc, kCmos, kBsf };

struct DispatchCase {
  const char* name;
  int clocks;
  DWORD family;
  DWORD features;
  Method method;
  DWORD bsfCycles;
};

class Dispatch : public CpuSpeed, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(Dispatch, ClockCountFamilyAndFeaturesChooseTheMethod) {
  const DispatchCase& c = GetParam();
  test::ScriptedProcessor processor;
  processor.family = c.family;
  processor.features = c.features;
  processor.seconds = {10, 11, 12};
  processor.timeStamp = [&processor] { return std::uint64_t(processor.timeStampReads) * 1000; };
  // Every read moves the counter 1000 ticks: a loop run times 1000 us.
  test::StepClock clock(1000000, {1000});
  platform::ScopedProcessClock clockScope(clock);
  platform::ScopedProcessorSource processorScope(processor);

  const CpuSpeedInfo info = MeasureCpuSpeed(c.clocks);
  Method method = Method::kNone;
  if (processor.secondsReads > 0) {
    method = Method::kCmos;
  } else if (processor.timeStampReads > 0) {
    method = Method::kTsc;
  } else if (processor.bitScanLoopRuns > 0) {
    method = Method::kBsf;
  }
  EXPECT_EQ(method, c.method);
  if (c.method == Method::kBsf) {
    EXPECT_EQ(info, (CpuSpeedInfo{c.bsfCycles, 1000, c.bsfCycles / 1000, c.bsfCycles / 1000}));
  }
  if (c.method == Method::kNone) {
    EXPECT_EQ(info, CpuSpeedInfo{});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Dispatch,
    ::testing::Values(
        DispatchCase{"ZeroWithTscTimesTsc", 0, 6, kCpuFeatureTsc, Method::kTsc, 0},
        DispatchCase{"OtherCountWithTscTimesCmos", 200, 6, kCpuFeatureTsc, Method::kCmos, 0},
        DispatchCase{"NegativeCountWithTscTimesCmos", -1, 6, kCpuFeatureTsc, Method::kCmos, 0},
        // A clock count from 1 to 150 fixes the loop's cycles, even with a time-stamp counter.
        DispatchCase{"Count75WithTscRunsLoop", 75, 5, kCpuFeatureTsc, Method::kBsf, 300000},
        DispatchCase{"Count1RunsLoop", 1, 6, kCpuFeatureTsc, Method::kBsf, 4000},
        DispatchCase{"Count150RunsLoop", 150, 3, 0, Method::kBsf, 600000},
        DispatchCase{"Count75BelowFamily3", 75, 2, kCpuFeatureTsc, Method::kNone, 0},
        // Without a time-stamp counter the table gives the loop's cycles by family.
        DispatchCase{"Family3", 0, 3, 0, Method::kBsf, 460000},
        DispatchCase{"Family4", 0, 4, 0, Method::kBsf, 188000},
        DispatchCase{"Family5", 0, 5, 0, Method::kBsf, 172000},
        DispatchCase{"Family6", 0, 6, 0, Method::kBsf, 152000},
        DispatchCase{"Family11", 0, 11, 0, Method::kBsf, 152000},
        DispatchCase{"Family2", 0, 2, 0, Method::kNone, 0},
        // No known cycle count: past the table, or a count above 150 without a time-stamp
        // counter.
        DispatchCase{"Family12", 0, 12, 0, Method::kNone, 0},
        DispatchCase{"Family15", 0, 15, 0, Method::kNone, 0},
        DispatchCase{"Count151WithoutTsc", 151, 6, 0, Method::kNone, 0}),
    [](const ::testing::TestParamInfo<DispatchCase>& info) { return info.param.name; });

TEST_F(CpuSpeed, OtherVendorMeasuresNothing) {
  test::ScriptedProcessor processor;
  processor.vendor = "AuthenticAMD";
  processor.family = 5;
  test::StepClock clock(1000000, {1});
  platform::ScopedProcessClock clockScope(clock);
  platform::ScopedProcessorSource processorScope(processor);

  EXPECT_EQ(MeasureCpuSpeed(0), CpuSpeedInfo{});
  EXPECT_EQ(MeasureCpuSpeed(75), CpuSpeedInfo{});
  EXPECT_EQ(GetCpuType(), 5 | kCpuTypeNotIntel);
  EXPECT_EQ(processor.timeStampReads, 0);
  EXPECT_EQ(clock.reads(), 0u);
}

TEST_F(CpuSpeed, CyrixWithoutCpuidMeasuresNothing) {
  test::ScriptedProcessor processor;
  processor.RemoveCpuid();
  processor.cyrix = true;
  test::StepClock clock(1000000, {1000});
  platform::ScopedProcessClock clockScope(clock);
  platform::ScopedProcessorSource processorScope(processor);

  EXPECT_EQ(MeasureCpuSpeed(0), CpuSpeedInfo{});
  EXPECT_EQ(GetCpuType(), 4 | kCpuTypeNotIntel);
  EXPECT_EQ(clock.reads(), 0u);
  EXPECT_EQ(processor.bitScanLoopRuns, 0);
}

struct SubtractCase {
  DWORD endHigh;
  DWORD endLow;
  DWORD startHigh;
  DWORD startLow;
  DWORD difference;
};

TEST_F(CpuSpeed, SubtractTscBorrowsAcrossWords) {
  const SubtractCase cases[] = {
      {0, 500, 0, 200, 300},
      {1, 0x100, 0, 0xFFFFFF00, 0x200},
      // Only the low word of the difference is kept.
      {5, 7, 2, 7, 0},
      {3, 1, 1, 2, 0xFFFFFFFF},
  };
  for (const SubtractCase& c : cases) {
    EXPECT_EQ(SubtractTsc(c.endHigh, c.endLow, c.startHigh, c.startLow), c.difference);
  }
}

TEST_F(CpuSpeed, TscPartsSplitTheCounter) {
  test::ScriptedProcessor processor;
  processor.timeStamp = [] { return 0x123456789ABCDEF0ull; };
  processor.seconds = {42};
  platform::ScopedProcessorSource scope(processor);
  DWORD high = 0;
  DWORD low = 0;
  ReadTscParts(&high, &low);
  EXPECT_EQ(high, 0x12345678u);
  EXPECT_EQ(low, 0x9ABCDEF0u);
  EXPECT_EQ(ReadCmosSeconds(), 42);
}

// The time-stamp counter's rate in MHz against the steady clock over a tenth of a second.
double ReferenceMhz() {
  platform::ProcessorSource& processor = platform::GetProcessorSource();
  const auto start = std::chrono::steady_clock::now();
  const std::uint64_t startStamp = processor.ReadTimeStampCounter();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const std::uint64_t endStamp = processor.ReadTimeStampCounter();
  const auto end = std::chrono::steady_clock::now();
  const double microseconds = std::chrono::duration<double, std::micro>(end - start).count();
  return static_cast<double>(endStamp - startStamp) / microseconds;
}

double ProcCpuMhz() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("cpu MHz", 0) == 0) {
      return std::stod(line.substr(line.find(':') + 1));
    }
  }
  return 0;
}

TEST_F(CpuSpeed, RealMachineReportsIntelOnly) {
  const CpuSpeedInfo info = MeasureCpuSpeed(0);
  if ((GetCpuType() & kCpuTypeNotIntel) != 0) {
    EXPECT_EQ(info, CpuSpeedInfo{});
    return;
  }
  const double mhz = ProcCpuMhz();
  ASSERT_GT(mhz, 0.0);
  EXPECT_NEAR(info.normalizedMhz, mhz, mhz * 0.1);
}

TEST_F(CpuSpeed, RealTimeStampMethodFindsTheCounterRate) {
  const double reference = ReferenceMhz();
  const CpuSpeedInfo info = MeasureCpuSpeedTsc();
  EXPECT_GE(info.microseconds, 3 * 830u);
  EXPECT_NEAR(info.normalizedMhz, reference, reference * 0.1);
}

TEST_F(CpuSpeed, RealCmosMethodFindsTheCounterRate) {
  const double reference = ReferenceMhz();
  if (reference >= 4294.0) {
    GTEST_SKIP() << "one second of this counter does not fit 32 bits";
  }
  const CpuSpeedInfo info = MeasureCpuSpeedCmos();
  EXPECT_EQ(info.microseconds, 1000000u);
  EXPECT_NEAR(info.normalizedMhz, reference, reference * 0.1);
}

// 4000 passes take a few microseconds on a processor of today, often less than the one
// microsecond that two counter ticks make: the loop then measures nothing rather than divide by 0.
TEST_F(CpuSpeed, RealLoopMeasuresOrGivesNothing) {
  const CpuSpeedInfo info = MeasureCpuSpeedBsf(152000);
  if (info.microseconds == 0) {
    EXPECT_EQ(info, CpuSpeedInfo{});
    return;
  }
  EXPECT_EQ(info.cycles, 152000u);
  EXPECT_EQ(info.rawMhz, 152000 / info.microseconds);
}

}  // namespace
