#include "common/socket/net_framing.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

TEST(NetFramingTest, HeadersAreLittleEndianFieldByField) {
  std::array<std::uint8_t, kNetHeaderSize> header{};
  WriteNetHeader(header, NetHeader{0x10001, 0x1000010, 2});
  EXPECT_EQ(header, (std::array<std::uint8_t, 12>{0x01, 0x00, 0x01, 0x00, 0x10, 0x00, 0x00, 0x01,
                                                  0x02, 0x00, 0x00, 0x00}));
  const NetHeader read = ReadNetHeader(header);
  EXPECT_EQ(read.address, 0x10001u);
  EXPECT_EQ(read.type, 0x1000010u);
  EXPECT_EQ(read.length, 2u);

  std::array<std::uint8_t, kNetDatagramHeaderSize> datagram{};
  WriteNetDatagramHeader(datagram, NetDatagramHeader{0x90005, 0x4001006, 36, 0xA1B2C3D4});
  EXPECT_EQ(datagram,
            (std::array<std::uint8_t, 16>{0x05, 0x00, 0x09, 0x00, 0x06, 0x10, 0x00, 0x04, 0x24,
                                          0x00, 0x00, 0x00, 0xD4, 0xC3, 0xB2, 0xA1}));
}

std::vector<std::uint8_t> MakeDatagram(std::uint32_t length, std::size_t payloadBytes) {
  std::vector<std::uint8_t> bytes(kNetDatagramHeaderSize + payloadBytes, 0xEE);
  WriteNetDatagramHeader(std::span(bytes).first<kNetDatagramHeaderSize>(),
                         NetDatagramHeader{0x90001, 0x4001006, length, 77});
  return bytes;
}

// The payload is the header's length of the bytes that follow it; a datagram that lacks them is
// not read.
TEST(NetFramingTest, DatagramIsReadWhenItHoldsTheLengthItsHeaderGives) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool accepted;
    std::size_t payload;
  };
  const Case cases[] = {
      {"empty", {}, false, 0},
      {"shorter than the header", std::vector<std::uint8_t>(15, 0), false, 0},
      {"bare header", MakeDatagram(0, 0), true, 0},
      {"length matches", MakeDatagram(36, 36), true, 36},
      {"length says more", MakeDatagram(40, 36), false, 0},
      {"length says less", MakeDatagram(4, 36), true, 4},
      {"huge length", MakeDatagram(0xFFFFFFFF, 8), false, 0},
  };
  for (const Case& c : cases) {
    const auto read = ReadNetDatagram(c.bytes);
    EXPECT_EQ(read.has_value(), c.accepted) << c.name;
    if (read) {
      EXPECT_EQ(read->sequence, 77u) << c.name;
      EXPECT_EQ(read->message.address, 0x90001u) << c.name;
      EXPECT_EQ(read->message.payload.size(), c.payload) << c.name;
      EXPECT_EQ(read->message.payload.data(), c.bytes.data() + kNetDatagramHeaderSize) << c.name;
    }
  }
}

}  // namespace
