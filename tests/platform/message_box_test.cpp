#include "platform/kernel/message_box.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageBoxes, AreRecordedWrittenToStandardErrorAndAnsweredOk) {
  platform::ClearShownMessageBoxes();
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "Syntax error", "World File Parser",
                        MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND),
            IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "NO SERVER NAME!", "Probex", MB_ICONEXCLAMATION), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "World File Parser: Syntax error\nProbex: NO SERVER NAME!\n");

  const auto shown = platform::ShownMessageBoxes();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].caption, "World File Parser");
  EXPECT_EQ(shown[0].text, "Syntax error");
  EXPECT_EQ(shown[0].type, 0x12010u);
  EXPECT_EQ(shown[1].caption, "Probex");
  EXPECT_EQ(shown[1].type, 0x30u);

  platform::ClearShownMessageBoxes();
  EXPECT_TRUE(platform::ShownMessageBoxes().empty());
}

TEST(MessageBoxes, WithoutEchoAreOnlyRecorded) {
  platform::ClearShownMessageBoxes();
  platform::SetMessageBoxEcho(false);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "Syntax error", "World File Parser", MB_ICONERROR), IDOK);
  platform::SetMessageBoxEcho(true);
  EXPECT_EQ(MessageBoxA(nullptr, "NO SERVER NAME!", "Probex", MB_ICONEXCLAMATION), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Probex: NO SERVER NAME!\n");
  EXPECT_EQ(platform::ShownMessageBoxes().size(), 2u);
  platform::ClearShownMessageBoxes();
}

}  // namespace
