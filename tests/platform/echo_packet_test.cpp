#include "platform/icmp/echo_packet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// The ones' complement sum of a packet whose checksum is right is 0xFFFF.
std::uint32_t OnesComplementSum(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    sum += (std::uint32_t{bytes[i]} << 8) | (i + 1 < bytes.size() ? bytes[i + 1] : 0);
  }
  while ((sum >> 16) != 0) {
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  return sum;
}

TEST(EchoPacket, TheRequestCarriesItsFieldsAndAValidChecksum) {
  const std::uint8_t data[5] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  const std::vector<std::uint8_t> request = platform::MakeEchoRequest(0x1234, 7, data, 5);
  ASSERT_EQ(request.size(), 13u);
  EXPECT_EQ(request[0], 8);
  EXPECT_EQ(request[1], 0);
  EXPECT_EQ(request[4], 0x12);
  EXPECT_EQ(request[5], 0x34);
  EXPECT_EQ(request[6], 0);
  EXPECT_EQ(request[7], 7);
  EXPECT_EQ(request[12], 0xAA);
  EXPECT_EQ(OnesComplementSum(request), 0xFFFFu);
}

TEST(EchoPacket, OnlyTheReplyToTheRequestIsRead) {
  // A reply: type 0, code 0, checksum, identifier 0x1234, sequence 7, then 3 bytes of data.
  const std::vector<std::uint8_t> reply = {0, 0, 0xAB, 0xCD, 0x12, 0x34, 0, 7, 1, 2, 3};
  std::vector<std::uint8_t> ipHeader(20, 0);
  ipHeader[0] = 0x45;
  std::vector<std::uint8_t> raw = ipHeader;
  raw.insert(raw.end(), reply.begin(), reply.end());
  std::vector<std::uint8_t> badHeader = raw;
  badHeader[0] = 0x44;  // a header of 16 bytes is no IP header
  std::vector<std::uint8_t> request = reply;
  request[0] = 8;
  const WORD identifier = 0x1234;
  const WORD otherIdentifier = 0x4321;
  struct Case {
    const char* name;
    const std::vector<std::uint8_t>& packet;
    bool withIpHeader;
    const WORD* identifier;
    WORD sequence;
    bool read;
  };
  const std::vector<std::uint8_t> shortReply(reply.begin(), reply.begin() + 7);
  const Case cases[] = {
      {"ping socket reply", reply, false, nullptr, 7, true},
      {"raw reply", raw, true, &identifier, 7, true},
      {"other sequence", reply, false, nullptr, 8, false},
      {"other identifier", raw, true, &otherIdentifier, 7, false},
      {"own request seen on a raw socket", request, false, nullptr, 7, false},
      {"short header", shortReply, false, nullptr, 7, false},
      {"bad IP header length", badHeader, true, &identifier, 7, false},
      {"IP header alone", ipHeader, true, &identifier, 7, false},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> data;
    EXPECT_EQ(platform::ReadEchoReply(c.packet.data(), c.packet.size(), c.withIpHeader,
                                      c.identifier, c.sequence, data),
              c.read)
        << c.name;
    if (c.read) {
      EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 2, 3})) << c.name;
    }
  }
}

}  // namespace
