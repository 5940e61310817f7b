#include "platform/kernel/registry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "base/byte_reader.h"

namespace {

constexpr const char* kProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

// The first processor's clock as /proc/cpuinfo states it, rounded; -1 when it states none.
long CpuinfoMhz() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    double mhz = 0;
    if (std::sscanf(line.c_str(), "cpu MHz : %lf", &mhz) == 1) {
      return std::lround(mhz);
    }
  }
  return -1;
}

TEST(Registry, ProcessorClockMatchesTheSystem) {
  const long expected = CpuinfoMhz();
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProcessorKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  ASSERT_NE(key, nullptr);
  // The game tries these three spellings in turn; each names the same value.
  for (const char* name : {"~MHz", "~Mhz", "~mhz"}) {
    DWORD type = 0;
    BYTE data[4] = {};
    DWORD size = sizeof data;
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, data, &size);
    if (expected < 0) {
      EXPECT_EQ(result, ERROR_FILE_NOT_FOUND) << name;
      continue;
    }
    ASSERT_EQ(result, ERROR_SUCCESS) << name;
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4u);
    const DWORD value = arena::ByteReader(data, sizeof data).U32();
    EXPECT_EQ(value, static_cast<DWORD>(expected)) << name;
  }
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST(Registry, BufferSizesFollowTheWindowsRules) {
  if (CpuinfoMhz() < 0) {
    GTEST_SKIP() << "this system states no processor clock";
  }
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProcessorKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "~MHz", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);
  BYTE small[2] = {0xAA, 0xAA};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "~MHz", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(small[0], 0xAA);
  EXPECT_EQ(RegQueryValueExA(key, "~MHz", nullptr, nullptr, small, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST(Registry, OtherKeysAndValuesAreNotFound) {
  const struct {
    const char* key;
    LONG result;
  } keys[] = {
      {"hardware\\description\\system\\centralprocessor\\0", ERROR_SUCCESS},
      {"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\1", ERROR_FILE_NOT_FOUND},
      {"HARDWARE\\DESCRIPTION\\System\\CentralProcessor", ERROR_FILE_NOT_FOUND},
      {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", ERROR_FILE_NOT_FOUND},
      {"", ERROR_FILE_NOT_FOUND},
  };
  for (const auto& c : keys) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, c.key, 0, KEY_READ, &key), c.result) << c.key;
    EXPECT_EQ(key != nullptr, c.result == ERROR_SUCCESS) << c.key;
    if (key != nullptr) {
      EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
  }

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProcessorKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  for (const char* name : {"Identifier", "MHz", "~MHz ", ""}) {
    DWORD size = 4;
    BYTE data[4];
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, nullptr, data, &size), ERROR_FILE_NOT_FOUND)
        << name;
  }
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(HKEY_LOCAL_MACHINE, "~MHz", nullptr, nullptr, nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExA(nullptr, kProcessorKey, 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
}

TEST(Registry, ParsesTheFirstProcessorsClock) {
  const struct {
    const char* cpuinfo;
    long mhz;
  } cases[] = {
      {"processor\t: 0\ncpu MHz\t\t: 2894.562\n\nprocessor\t: 1\ncpu MHz\t\t: 3400.000\n", 2895},
      {"cpu MHz : 1999.5\n", 2000},
      {"cpu MHz\t\t: 799.499\n", 799},
      {"model name\t: Some CPU @ 3.00GHz\n", -1},
      {"cpu MHz dynamic\t: 5\ncpu MHz\t: 7\n", 7},
      {"cpu MHz\t\t: unknown\n", -1},
      {"", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::ParseCpuMhz(c.cpuinfo), c.mhz) << c.cpuinfo;
  }
}

}  // namespace
