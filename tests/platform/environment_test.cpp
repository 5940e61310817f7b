#include "platform/kernel/environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(Environment, ReturnValuesFollowTheWindowsRules) {
  ::setenv("PLATFORM_TEST_PATH", "abcdef", 1);
  ::setenv("PLATFORM_TEST_EMPTY", "", 1);
  ::unsetenv("PLATFORM_TEST_ABSENT");
  const struct {
    const char* name;
    DWORD size;
    DWORD result;
    const char* buffer;  // what the buffer holds afterwards
  } cases[] = {
      {"PLATFORM_TEST_PATH", 100, 6, "abcdef"}, {"PLATFORM_TEST_PATH", 7, 6, "abcdef"},
      {"PLATFORM_TEST_PATH", 6, 7, ""},  // too small: the size needed, buffer untouched
      {"PLATFORM_TEST_PATH", 1, 7, ""},         {"PLATFORM_TEST_PATH", 0, 7, ""},
      {"platform_test_path", 100, 0, ""},       {"PLATFORM_TEST_EMPTY", 100, 0, ""},
      {"PLATFORM_TEST_ABSENT", 100, 0, ""},
  };
  for (const auto& c : cases) {
    char buffer[100] = {};
    EXPECT_EQ(GetEnvironmentVariableA(c.name, buffer, c.size), c.result) << c.name << " " << c.size;
    EXPECT_STREQ(buffer, c.buffer) << c.name << " " << c.size;
  }
  EXPECT_EQ(GetEnvironmentVariableA("PLATFORM_TEST_PATH", nullptr, 0), 7u);
  EXPECT_EQ(GetEnvironmentVariableA(nullptr, nullptr, 0), 0u);
  ::unsetenv("PLATFORM_TEST_PATH");
  ::unsetenv("PLATFORM_TEST_EMPTY");
}

}  // namespace
