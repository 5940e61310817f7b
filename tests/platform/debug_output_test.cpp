#include "platform/kernel/debug_output.h"

#include <gtest/gtest.h>

namespace {

TEST(DebugOutput, GoesToStandardErrorUnchanged) {
  testing::internal::CaptureStderr();
  OutputDebugStringA("DirectDrawCreate failed.\n");
  OutputDebugStringA("no line feed");
  OutputDebugStringA(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "DirectDrawCreate failed.\nno line feed");
}

}  // namespace
