#include "platform/kernel/environment.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scoped_environment.h"

namespace {

TEST(Environment, ReturnValuesFollowTheWindowsRules) {
  test_support::ScopedEnvironment path("PLATFORM_TEST_PATH", "abcdef");
  test_support::ScopedEnvironment empty("PLATFORM_TEST_EMPTY", "");
  test_support::ScopedEnvironment absent("PLATFORM_TEST_ABSENT", nullptr);
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
}

}  // namespace
