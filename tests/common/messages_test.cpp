#include "common/messages.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/socket/net_framing.h"

namespace {

TEST(MessageCatalogue, FindsEveryTypeByValue) {
  for (const MessageInfo& info : kMessageCatalogue) {
    ASSERT_EQ(FindMessageInfo(info.type), &info) << info.name;
  }
  for (std::uint32_t unknown : {0u, 0x1000001u, 0x3000006u, 0x4000003u, 0x9000001u, 0xFFFFFFFFu}) {
    EXPECT_EQ(FindMessageInfo(unknown), nullptr) << std::hex << unknown;
  }
  static_assert(FindMessageInfo(MSG_CHAT_IGNORED)->name == "MSG_CHAT_IGNORED");
}

// Every size the catalogue gives can travel: a fixed size or either of two fits one message (a
// datagram for the datagram types), a record list has records of at least one byte, and the
// kinds without a size carry none.
TEST(MessageCatalogue, EverySizeFitsTheMessagesThatCarryIt) {
  for (const MessageInfo& info : kMessageCatalogue) {
    SCOPED_TRACE(info.name);
    const std::size_t limit = IsDatagramMessage(info.type) ? kMaxDatagramPayload : kMaxTcpPayload;
    for (const PayloadSize& size : {info.sent, info.received}) {
      switch (size.kind) {
        case PayloadSize::Kind::kFixed:
        case PayloadSize::Kind::kExact:
          EXPECT_LE(size.bytes, limit);
          EXPECT_EQ(size.alternate, 0u);
          break;
        case PayloadSize::Kind::kEither:
          EXPECT_LE(std::max(size.bytes, size.alternate), limit);
          EXPECT_NE(size.bytes, size.alternate);
          break;
        case PayloadSize::Kind::kRecords:
          EXPECT_GT(size.bytes, 0u);
          EXPECT_LE(size.bytes, limit);
          break;
        default:
          EXPECT_EQ(size.bytes, 0u);
          EXPECT_EQ(size.alternate, 0u);
          break;
      }
    }
  }
}

}  // namespace
