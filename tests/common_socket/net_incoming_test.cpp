#include "common/socket/net_incoming.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/messages.h"

namespace {

using Action = NetIncoming::Action;

// Shorter than the catalogue's size: dropped whatever the type; longer: handled as usual.
TEST(NetIncomingTest, ActionByTypeAndPayloadSize) {
  struct Case {
    std::uint32_t type;
    std::vector<std::uint8_t> payload;
    Action action;
  };
  const Case cases[] = {
      {MSG_LOGOUT, {}, Action::kLogout},
      {MSG_LOGOUT, {1, 2, 3}, Action::kLogout},
      {MSG_TIME_SYNC, {0, 0, 1, 0}, Action::kConsume},
      {MSG_FILE_OFFER, {}, Action::kConsume},
      {MSG_FILE_CANCEL, {9}, Action::kConsume},
      {MSG_FILE_OFFER - 1, {}, Action::kPassOn},
      {MSG_TIME_SYNC, {}, Action::kConsume},
      {MSG_UDP_PORT, {0x1F, 0x90}, Action::kSetUdpPort},
      {MSG_UDP_PORT, {0x1F}, Action::kShort},
      {MSG_UDP_PORT, {0x1F, 0x90, 0}, Action::kSetUdpPort},
      {MSG_ALIVE_REPLY, {1, 2, 3, 4}, Action::kAliveReply},
      {MSG_ALIVE_REPLY, {1, 2, 3}, Action::kShort},
      {MSG_ALIVE_REQUEST, {1, 2, 3, 4}, Action::kAliveRequest},
      {MSG_ALIVE_REQUEST, {1, 2, 3, 4, 5}, Action::kAliveRequest},
      {MSG_DISCONNECTING, {}, Action::kPassOn},
      {MSG_CONNECTED, {7}, Action::kPassOn},
      {MSG_TANK_STATE, std::vector<std::uint8_t>(36), Action::kPassOn},
      {MSG_PARAM_EDITOR, {}, Action::kPassOn},
      {MSG_PARAM_SET, std::vector<std::uint8_t>(7), Action::kShort},
      {MSG_CHAT, {}, Action::kPassOn},
      // The login rules on the record's length itself.
      {GLOBAL_PARAMS_PASS, std::vector<std::uint8_t>(283), Action::kPassOn},
      {GLOBAL_PARAMS_PASS, {}, Action::kPassOn},
      {GLOBAL_PARAMS_PASS, std::vector<std::uint8_t>(300), Action::kPassOn},
      {0x7777777, {}, Action::kPassOn},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyIncoming(c.type, c.payload).action, c.action)
        << std::hex << c.type << " with " << c.payload.size() << " bytes";
  }
}

TEST(NetIncomingTest, PortIsInNetworkOrderAndAliveValueLittleEndianFromTheLeadingBytes) {
  const std::vector<std::uint8_t> port{0x1F, 0x90, 0x77};
  EXPECT_EQ(ClassifyIncoming(MSG_UDP_PORT, port).port, 8080);
  const std::vector<std::uint8_t> time{0x78, 0x56, 0x34, 0x12, 0x99};
  EXPECT_EQ(ClassifyIncoming(MSG_ALIVE_REPLY, time).value, 0x12345678u);
  EXPECT_EQ(ClassifyIncoming(MSG_ALIVE_REQUEST, time).value, 0x12345678u);
}

// Every fixed-size type the server may send: one byte short is dropped with the size it lacks,
// the exact size and one more are not. A type whose receiver rules on its length is passed on.
TEST(NetIncomingTest, EveryFixedSizeIsGatedByTheCatalogue) {
  int gated = 0;
  for (const MessageInfo& info : kMessageCatalogue) {
    const std::uint32_t wanted = MinimumReceivedPayload(info.type);
    if (wanted == 0) {
      continue;
    }
    ++gated;
    const std::vector<std::uint8_t> exact(wanted);
    const std::vector<std::uint8_t> shorter(wanted - 1);
    const std::vector<std::uint8_t> longer(wanted + 1);
    const NetIncoming dropped = ClassifyIncoming(info.type, shorter);
    if (IsSizeRuledByReceiver(info.type)) {
      EXPECT_EQ(dropped.action, Action::kPassOn) << info.name;
      continue;
    }
    if (info.type == MSG_TIME_SYNC) {
      EXPECT_EQ(dropped.action, Action::kConsume);  // never read
      continue;
    }
    EXPECT_EQ(dropped.action, Action::kShort) << info.name;
    EXPECT_EQ(dropped.value, wanted) << info.name;
    EXPECT_NE(ClassifyIncoming(info.type, exact).action, Action::kShort) << info.name;
    EXPECT_NE(ClassifyIncoming(info.type, longer).action, Action::kShort) << info.name;
  }
  EXPECT_EQ(gated, 40);  // GLOBAL_PARAMS_PASS, the tank and the team objects' messages among them
}

}  // namespace
