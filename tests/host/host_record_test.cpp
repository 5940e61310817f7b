#include "host/host_record.h"

#include <gtest/gtest.h>

#include "host/process_record.h"

namespace {

void ExpectInitialValues(const HostRecord& record) {
  EXPECT_EQ(record.module, nullptr);
  EXPECT_EQ(record.window, nullptr);
  EXPECT_EQ(record.directDraw, nullptr);
  EXPECT_EQ(record.primarySurface, nullptr);
  EXPECT_EQ(record.directInput, nullptr);
  EXPECT_EQ(record.keyboard.modifiers, 0);
  EXPECT_EQ(record.keyboard.device, nullptr);
  EXPECT_EQ(record.frontEnd.text1[0], '\0');
  EXPECT_EQ(record.frontEnd.text2[0], '\0');
  EXPECT_EQ(record.frontEnd.text3[0], '\0');
  EXPECT_EQ(record.frontEnd.text4[0], '\0');
  EXPECT_EQ(record.frontEnd.flag, 1);
  EXPECT_EQ(record.frontEnd.word1, -1);
  EXPECT_EQ(record.frontEnd.word2, -1);
  EXPECT_EQ(record.frontEnd.count, 0);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(record.frontEnd.words1[i], 0);
    EXPECT_EQ(record.frontEnd.words2[i], 0);
    EXPECT_EQ(record.frontEnd.words3[i], 0);
  }
  EXPECT_EQ(record.login.serverPort, 0u);
  EXPECT_EQ(record.login.window, nullptr);
  EXPECT_EQ(record.screenWidth, 640);
  EXPECT_EQ(record.screenHeight, 480);
  EXPECT_EQ(record.viewFlags, kViewFlagCockpit);
}

TEST(HostRecordTest, ProcessRecordStartsWithTheHostsInitialValues) {
  ExpectInitialValues(ProcessHostRecord());
}

TEST(HostRecordTest, ValueInitialisedRecordHoldsTheSameInitialValues) {
  ExpectInitialValues(HostRecord{});
}

}  // namespace
