#include "common/messages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

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

struct SizeCase {
  std::uint32_t type;
  PayloadSize sent;
  PayloadSize received;
};

TEST(MessageCatalogue, PayloadSizes) {
  const SizeCase cases[] = {
      {MSG_TIME_SYNC, kNoPayload, FixedPayload(4)},
      {MSG_LOGIN, kTextPayload, kNoPayload},
      {MSG_LOGOUT, kEmptyPayload, kAnyPayload},
      {MSG_UDP_PORT, FixedPayload(2), FixedPayload(2)},
      {MSG_PARAM_EDITOR, kEmptyPayload, EitherPayload(0, 396)},
      {MSG_PARAM_TABLE, kNoPayload, RecordsPayload(4)},
      {MSG_PARAM_SET, EitherPayload(8, 396), FixedPayload(8)},
      {MSG_SYSTEM_INFO, FixedPayload(28), kNoPayload},
      {MSG_CHAT_IGNORED, kNoPayload, kTextPayload},
      {GLOBAL_PARAMS_PASS, kNoPayload, FixedPayload(284)},
      {MSG_TIME_OF_DAY, kNoPayload, FixedPayload(24)},
      {MSG_TEAM_BASE, kNoPayload, FixedPayload(16)},
      {MSG_WEATHER_EVENT, kNoPayload, FixedPayload(12)},
      {MSG_TANK_STATE, FixedPayload(36), kUnlistedPayload},
      {MSG_TANK_FIRE, FixedPayload(24), kUnlistedPayload},
      {MSG_TANK_HIT, FixedPayload(20), kUnlistedPayload},
      {MSG_STATUS_REPORT, RecordsPayload(8), kUnlistedPayload},
      {MSG_MINE_DETONATE, EitherPayload(0, 16), kUnlistedPayload},
      {MSG_CREATE_MISSILE, FixedPayload(28), FixedPayload(28)},
      {MSG_MISSILE_STATE, FixedPayload(40), kUnlistedPayload},
      {MSG_PLAY_SOUND, kNoPayload, FixedPayload(12)},
      {MSG_INPUT_EVENT, FixedPayload(48), kNoPayload},
      {MSG_FILE_BLOCK, kNoPayload, kAnyPayload},
  };
  for (const SizeCase& size : cases) {
    const MessageInfo* info = FindMessageInfo(size.type);
    ASSERT_NE(info, nullptr) << std::hex << size.type;
    EXPECT_EQ(info->sent, size.sent) << info->name;
    EXPECT_EQ(info->received, size.received) << info->name;
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
