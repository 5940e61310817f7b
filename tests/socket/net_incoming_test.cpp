#include "common/socket/net_incoming.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/messages.h"

namespace {

using Action = NetIncoming::Action;

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
      {MSG_UDP_PORT, {0x1F, 0x90}, Action::kSetUdpPort},
      {MSG_UDP_PORT, {0x1F}, Action::kDrop},
      {MSG_UDP_PORT, {0x1F, 0x90, 0}, Action::kDrop},
      {MSG_ALIVE_REPLY, {1, 2, 3, 4}, Action::kAliveReply},
      {MSG_ALIVE_REPLY, {1, 2, 3}, Action::kDrop},
      {MSG_ALIVE_REQUEST, {1, 2, 3, 4}, Action::kAliveRequest},
      {MSG_ALIVE_REQUEST, {1, 2, 3, 4, 5}, Action::kDrop},
      {MSG_DISCONNECTING, {}, Action::kPassOn},
      {MSG_CONNECTED, {7}, Action::kPassOn},
      {MSG_TANK_STATE, std::vector<std::uint8_t>(36), Action::kPassOn},
      {0x7777777, {}, Action::kPassOn},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyIncoming(c.type, c.payload).action, c.action)
        << std::hex << c.type << " with " << c.payload.size() << " bytes";
  }
}

TEST(NetIncomingTest, PortIsInNetworkOrderAndAliveValueLittleEndian) {
  const std::vector<std::uint8_t> port{0x1F, 0x90};
  EXPECT_EQ(ClassifyIncoming(MSG_UDP_PORT, port).port, 8080);
  const std::vector<std::uint8_t> time{0x78, 0x56, 0x34, 0x12};
  EXPECT_EQ(ClassifyIncoming(MSG_ALIVE_REPLY, time).value, 0x12345678u);
}

}  // namespace
