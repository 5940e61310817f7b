#include "battle/core/error_report.h"

#include <gtest/gtest.h>

#include <string>

#include "common/mailbox.h"
#include "common/messages.h"

namespace {

const std::string kLongMessage(200, 'x');

struct ReportCase {
  const char* module;
  int number;
  const char* message;
  std::string expected;
};

class PostErrorReportTest : public testing::TestWithParam<ReportCase> {};

TEST_P(PostErrorReportTest, FormatsAndPostsFromTheReportSender) {
  const ReportCase& c = GetParam();
  CMailbox sink(0x123);
  PostErrorReport(0x123, c.module, c.number, c.message);
  std::uint32_t length = 0;
  MailboxMessagePtr message = sink.Receive(length);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->type, MSG_CHAT_REPORT);
  EXPECT_EQ(message->sender, kErrorReportSender);
  ASSERT_EQ(length, c.expected.size() + 1);
  EXPECT_EQ(reinterpret_cast<const char*>(message->Payload()), c.expected);
  EXPECT_EQ(message->Payload()[length - 1], 0);
}

INSTANTIATE_TEST_SUITE_P(Texts, PostErrorReportTest,
                         testing::Values(ReportCase{"WORLD", 3, "Start World Failed",
                                                    "WORLD:3 [Start World Failed]"},
                                         ReportCase{"WORLD", 12, nullptr, "WORLD:12 "},
                                         ReportCase{"WORLD", -1, "", "WORLD:-1 []"},
                                         // Cut to the 100-byte buffer, never overrun.
                                         ReportCase{"WORLD", 1, kLongMessage.c_str(),
                                                    "WORLD:1 [" + std::string(90, 'x')}));

TEST(PostErrorReport, ToTheErrorSinkReachesNoMailbox) {
  CMailbox other(0x456);
  PostErrorReport(KIND_ERROR_SINK, "WORLD", 1, "lost");
  std::uint32_t length = 0;
  EXPECT_EQ(other.Receive(length), nullptr);
  EXPECT_EQ(other.Count(), 0u);
}

// The report's sender lives only while it posts: a reply to it afterwards reaches the newest
// mailbox bearing that address, which is then an older one, not a leftover sender.
TEST(PostErrorReport, TheTemporarySenderIsGoneOnceTheReportIsPosted) {
  CMailbox older(kErrorReportSender);
  CMailbox sink(0x123);
  PostErrorReport(0x123, "WORLD", 2, "gone");
  std::uint32_t length = 0;
  MailboxMessagePtr report = sink.Receive(length);
  ASSERT_NE(report, nullptr);
  const std::uint32_t reply = 7;
  sink.Post(report->sender, MSG_CHAT_REPORT, sizeof reply, &reply);
  MailboxMessagePtr replied = older.Receive(length);
  ASSERT_NE(replied, nullptr) << "a mailbox at the sender's address outlived the report";
  EXPECT_EQ(replied->sender, 0x123u);
}

}  // namespace
