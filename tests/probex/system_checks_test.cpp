#include "probex/system_checks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/system_library/system_library.h"
#include "probex/problem_word.h"
#include "tests/probex/probex_fixture.h"

namespace probex_test {
namespace {

using SystemChecks = ProbexTest;

TEST_F(SystemChecks, APassingMachineGivesPassIconsAndTheAllClear) {
  Open();
  EXPECT_EQ(Word(), 0u);
  for (int icon : {kOsIcon, kDiskIcon, kMemoryIcon, kProcessorIcon, kDirectDrawIcon,
                   kDirectSoundIcon, kDirectInputIcon, kWinsockIcon}) {
    EXPECT_EQ(Icon(icon), kPassIcon) << icon;
  }
  EXPECT_EQ(Icon(kPingIcon), 0);
  EXPECT_EQ(Text(kReportText), "Everything seems to be ok.....Start Kelvane\r\n");
  EXPECT_EQ(platform::DialogDefaultButton(dialog_), kPingButton);
  EXPECT_EQ(platform::DialogSmallIconId(dialog_), kProgramIcon);
  EXPECT_EQ(SendMessageA(dialog_, WM_QUERYDRAGICON, 0, 0),
            reinterpret_cast<LRESULT>(Probex().programIcon));
}

TEST_F(SystemChecks, OperatingSystemVersions) {
  struct Case {
    DWORD version;
    const char* text;
    bool fails;
  };
  const Case cases[] = {
      {0x04213303, "Microsoft Windows NT 3.51 (Build: 1057)", false},
      {0x05650004, "Microsoft Windows NT 4.0 (Build: 1381)", false},
      {0x80000B03, "Microsoft Win32s 3.11 (Build: 0)", true},
      {0x80010A01, "Microsoft Win32s 1.10 (Build: 1)", true},
      {0x83B60004, "Microsoft Windows 95 4.0 (Build: 950)", false},
      {0x87CE0A04, "Microsoft Windows 95 4.10 (Build: 1998)", false},
  };
  OpenClean();
  for (const Case& c : cases) {
    Probex().problemWord = 0;
    facts_.version = c.version;
    CheckOsVersion(dialog_);
    EXPECT_EQ(Text(kOsText), c.text);
    EXPECT_EQ(Word(), c.fails ? kProblemOsVersion : 0u) << c.text;
    EXPECT_EQ(Icon(kOsIcon), c.fails ? kProblemIcon : kPassIcon) << c.text;
  }
}

TEST_F(SystemChecks, DiskSpaceAtItsEdges) {
  struct Case {
    DWORD sectorsPerCluster;
    DWORD bytesPerSector;
    DWORD freeClusters;
    DWORD totalClusters;
    bool readable;
    const char* text;
    bool fails;
  };
  const Case cases[] = {
      // 512 bytes short of 30 MB, on a drive of 2^30 bytes.
      {1, 512, 61439, 2097152, true, "30.00 MB free of 1.00 GB", true},
      {1, 512, 61440, 2097152, true, "30.00 MB free of 1.00 GB", false},
      {1, 512, 2097151, 2097153, true, "1024.00 MB free of 1.00 GB", false},
      // 4 GB free: the byte count no longer fits 32 bits.
      {8, 512, 1 << 20, 3 << 20, true, "4.00 GB free of 12.00 GB", false},
      {8, 512, 1 << 20, 3 << 20, false, "0.00 MB free of 0.00 MB", true},
  };
  OpenClean();
  for (const Case& c : cases) {
    Probex().problemWord = 0;
    facts_.diskSectorsPerCluster = c.sectorsPerCluster;
    facts_.diskBytesPerSector = c.bytesPerSector;
    facts_.diskFreeClusters = c.freeClusters;
    facts_.diskTotalClusters = c.totalClusters;
    facts_.diskReadable = c.readable;
    CheckDiskSpace(dialog_);
    EXPECT_EQ(Text(kDiskText), c.text);
    EXPECT_EQ(Word(), c.fails ? kProblemDiskSpace : 0u) << c.text;
    EXPECT_EQ(Icon(kDiskIcon), c.fails ? kProblemIcon : kPassIcon) << c.text;
  }
}

TEST_F(SystemChecks, PhysicalMemoryAtItsEdgesAndBeyond4Gb) {
  struct Case {
    std::uint64_t total;
    std::uint64_t available;
    const char* text;
    bool fails;
  };
  const Case cases[] = {
      {16252928, 16252928, "16MB available of 16MB physical", false},
      {16252927, 1048575, "1MB available of 15MB physical", true},
      {0xFFFFFFFF, 0xFFF80000, "4096MB available of 4096MB physical", false},
      {std::uint64_t{8} << 30, std::uint64_t{6} << 30, "6144MB available of 8192MB physical",
       false},
  };
  OpenClean();
  for (const Case& c : cases) {
    Probex().problemWord = 0;
    facts_.totalPhys = c.total;
    facts_.availPhys = c.available;
    CheckMemory(dialog_);
    EXPECT_EQ(Text(kMemoryText), c.text);
    EXPECT_EQ(Word(), c.fails ? kProblemMemory : 0u) << c.text;
    EXPECT_EQ(Icon(kMemoryIcon), c.fails ? kProblemIcon : kPassIcon) << c.text;
  }
}

TEST(NormalizeMhz, SnapsToTheFirstCommonClockWithin5Mhz) {
  struct Case {
    int measured;
    int shown;
  };
  const Case cases[] = {{75, 75},   {118, 120}, {114, 114}, {125, 120}, {126, 126},
                        {28, 33},   {27, 27},   {45, 40},   {95, 90},   {96, 100},
                        {161, 166}, {205, 200}, {206, 206}, {0, 0},     {2600, 2600}};
  for (const Case& c : cases) {
    EXPECT_EQ(NormalizeMhz(c.measured), c.shown) << c.measured;
  }
}

TEST_F(SystemChecks, ProcessorTexts) {
  struct Case {
    WORD architecture;
    DWORD processorType;
    DWORD cpuType;
    DWORD mhz;
    const char* text;
    DWORD bits;
  };
  const Case cases[] = {
      {PROCESSOR_ARCHITECTURE_UNKNOWN, PROCESSOR_INTEL_PENTIUM, 5, 200,
       "Architecture not supported", kProblemProcessor},
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_386, 3, 31, "386 Processor 33 MHz",
       kProblemProcessor},
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_486, 4, 66, "486 Processor 66 MHz",
       kProblemProcessor},
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM, 5, 118, "Pentium Processor 120 MHz",
       0},
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM, 5, 114, "Pentium Processor 114 MHz",
       kProblemProcessorSpeed},
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM, 5, 75, "Pentium Processor 75 MHz",
       kProblemProcessorSpeed},
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM, 6, 200,
       "Pentium Pro Processor 200 MHz", 0},
      // Another vendor's family 5 is not tested for speed.
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM, 0x8005, 75,
       "Really Fast Processor 75 MHz", 0},
      {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM, 15, 2600,
       "Really Fast Processor 2600 MHz", 0},
      {PROCESSOR_ARCHITECTURE_INTEL, 2200, 5, 200, "Processor Not Supported", kProblemProcessor},
  };
  for (const Case& c : cases) {
    facts_.architecture = c.architecture;
    facts_.processorType = c.processorType;
    facts_.cpuType = c.cpuType;
    facts_.mhz = c.mhz;
    Probex().problemWord = 0;
    if (dialog_ == nullptr) {
      OpenClean();
    }
    RunSystemChecks(dialog_);
    EXPECT_EQ(Text(kProcessorText), c.text);
    EXPECT_EQ(Word(), c.bits) << c.text;
    EXPECT_EQ(Icon(kProcessorIcon), c.bits == 0 ? kPassIcon : kProblemIcon) << c.text;
  }
}

TEST_F(SystemChecks, LibraryVersions) {
  const std::string drawPath = platform::SystemLibraryPath("DDraw.dll");
  const std::string inputPath = platform::SystemLibraryPath("DInput.dll");
  const platform::ScopedSystemLibraries libraries({
      {"DDraw.dll", {3, 2, 0, 1}, {}},
      {"DInput.dll", {}, {}},
      {"wsock32.dll", {1, 1, 0, 0}, {}},
  });
  Open();
  EXPECT_EQ(Text(kDirectDrawText), drawPath + " \r\nVersion (3.2.0.1)");
  EXPECT_EQ(Icon(kDirectDrawIcon), kProblemIcon);
  EXPECT_EQ(Text(kDirectSoundText), "DSound.dll Not found!!");
  EXPECT_EQ(Icon(kDirectSoundIcon), kProblemIcon);
  // Without a version resource: the path alone, and the icon is left as it was.
  EXPECT_EQ(Text(kDirectInputText), inputPath);
  EXPECT_EQ(Icon(kDirectInputIcon), 0);
  EXPECT_EQ(Word(), kProblemDirectDraw | kProblemDirectSound);
  EXPECT_EQ(Text(kReportText),
            "There are some problems: \r\n"
            "1) You do not have the correct version of DirectDraw\r\n"
            "2) You do not have the correct version of DirectSound\r\n");
}

TEST_F(SystemChecks, ALibraryPathIsShownWhole) {
  // The test module under a name that makes its path far longer than 49 characters.
  const std::filesystem::path fixture =
      std::filesystem::canonical("/proc/self/exe").parent_path() / "Test_Module.dll";
  const std::filesystem::path longName =
      scratch_.Path() / "a_library_with_a_name_long_enough_to_need_a_long_path.dll";
  std::filesystem::copy_file(fixture, longName);
  OpenClean();
  CheckDllVersion(dialog_, kDirectDrawText, longName.c_str(), kDirectDrawIcon, kProblemDirectDraw);
  EXPECT_EQ(Text(kDirectDrawText), longName.string());
  EXPECT_EQ(Word(), 0u);
}

TEST_F(SystemChecks, WindowsSockets) {
  const std::string socketsPath = platform::SystemLibraryPath("wsock32.dll");
  Open();
  EXPECT_EQ(Text(kWinsockText), socketsPath + "\r\nTest sockets");

  // A library of version 1.0: the bit, but the icon does not show it.
  Probex().problemWord = 0;
  facts_.socketsHighVersion = 0x0001;
  CheckWinsock(dialog_);
  EXPECT_EQ(Word(), kProblemWinsock);
  EXPECT_EQ(Icon(kWinsockIcon), kPassIcon);
  EXPECT_EQ(Text(kReportText), "Everything seems to be ok.....Start Kelvane\r\n");

  // A start-up that fails: its record is not read, whatever it holds.
  Probex().problemWord = 0;
  facts_.socketsHighVersion = 0x0202;
  facts_.socketsDescription = "not a description";
  facts_.socketsStartupResult = 10092;
  CheckWinsock(dialog_);
  EXPECT_EQ(Word(), kProblemWinsock);
  EXPECT_EQ(Text(kWinsockText), socketsPath + "\r\n");

  const platform::ScopedSystemLibraries none({});
  Probex().problemWord = 0;
  facts_.socketsStartupResult = 0;
  facts_.socketsHighVersion = 0x0101;
  CheckWinsock(dialog_);
  EXPECT_EQ(Word(), kProblemWinsock);
  EXPECT_EQ(Text(kWinsockText), "wsock32.dll Not found!!");
  EXPECT_EQ(Icon(kWinsockIcon), kProblemIcon);
}

}  // namespace
}  // namespace probex_test
