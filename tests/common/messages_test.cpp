#include "common/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "common/socket/net_framing.h"

namespace {

TEST(MessageCatalogue, ExactlySevenTypesLeaveAsDatagrams) {
  const std::set<std::uint32_t> datagrams{MSG_ALIVE_REPLY,  MSG_ALIVE_REQUEST, MSG_FRAME_RATE,
                                          MSG_TANK_STATE,   MSG_TANK_FIRE,     MSG_TANK_HIT,
                                          MSG_MISSILE_STATE};
  std::set<std::uint32_t> found;
  for (const MessageInfo& info : kMessageCatalogue) {
    EXPECT_EQ(IsDatagramMessage(info.type), datagrams.count(info.type) == 1) << info.name;
    if (info.transport == MessageTransport::kUdp) {
      found.insert(info.type);
    }
  }
  EXPECT_EQ(found, datagrams);
  EXPECT_FALSE(IsDatagramMessage(MSG_TANK_DAMAGE_LEVEL));
  EXPECT_FALSE(IsDatagramMessage(0x4001002));  // not a type of the system
}

// What the client sends goes by TCP unless it is a datagram type; what it never sends to the
// server has no transport.
TEST(MessageCatalogue, TransportFollowsDirection) {
  for (const MessageInfo& info : kMessageCatalogue) {
    const bool sent = (info.directions & kMessageOut) != 0;
    EXPECT_EQ(info.transport != MessageTransport::kNone, sent) << info.name;
    EXPECT_EQ(info.received.kind != PayloadSize::Kind::kNone, (info.directions & kMessageIn) != 0)
        << info.name;
    EXPECT_EQ(info.sent.kind != PayloadSize::Kind::kNone,
              (info.directions & (kMessageOut | kMessageLocal)) != 0)
        << info.name;
  }
  for (std::uint32_t chat : {MSG_CHAT, MSG_CHAT_TEAM, MSG_CHAT_COMMAND, MSG_CHAT_REPORT}) {
    EXPECT_EQ(FindMessageInfo(chat)->transport, MessageTransport::kTcp);
  }
}

TEST(MessageCatalogue, NamesAndTypesAreUnique) {
  std::set<std::uint32_t> types;
  std::set<std::string> names;
  for (const MessageInfo& info : kMessageCatalogue) {
    EXPECT_TRUE(types.insert(info.type).second) << std::hex << info.type;
    EXPECT_TRUE(names.insert(std::string(info.name)).second) << info.name;
    EXPECT_TRUE(info.name.starts_with("MSG_") || info.name == "GLOBAL_PARAMS_PASS") << info.name;
  }
  EXPECT_EQ(types.size(), 84u);
}

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

TEST(MessageCatalogue, FileTransferIsOnlyReceived) {
  int count = 0;
  for (const MessageInfo& info : kMessageCatalogue) {
    if (info.type >> 24 == 0x09) {
      ++count;
      EXPECT_EQ(info.directions, kMessageIn) << info.name;
    }
  }
  EXPECT_EQ(count, 5);
}

TEST(MessageCatalogue, FixedAddressesBelongToTheirKinds) {
  for (std::uint32_t missile : {kMissileAddressPhoenix, kMissileAddressDeactivator,
                                kMissileAddressFlash, kMissileAddressBatteryDrain}) {
    EXPECT_EQ(missile >> 16, KIND_MISSILE >> 16) << std::hex << missile;
  }
  EXPECT_EQ(kNetworkAddress >> 16, KIND_NETWORK >> 16);
  EXPECT_NE(kNetworkAddress, KIND_NETWORK);
}

}  // namespace
