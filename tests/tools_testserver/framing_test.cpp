#include <gtest/gtest.h>

#include <vector>

#include "tools/testserver/tcp_frame_reader.h"
#include "tools/testserver/wire_header.h"

namespace testserver {
namespace {

TEST(WireHeader, WritesFieldsLittleEndian) {
  std::vector<std::uint8_t> tcp;
  AppendTcpHeader(tcp, WireHeader{0x00080001, 0x04001006, 0x24, 0x99});
  EXPECT_EQ(tcp, (std::vector<std::uint8_t>{0x01, 0x00, 0x08, 0x00, 0x06, 0x10, 0x00, 0x04, 0x24,
                                            0x00, 0x00, 0x00}));
  std::vector<std::uint8_t> datagram;
  AppendDatagramHeader(datagram, WireHeader{1, 2, 3, 0x01020304});
  ASSERT_EQ(datagram.size(), kDatagramHeaderSize);
  EXPECT_EQ(std::vector<std::uint8_t>(datagram.begin() + 12, datagram.end()),
            (std::vector<std::uint8_t>{0x04, 0x03, 0x02, 0x01}));
}

TEST(WireHeader, ReadsOnlyWhenWhole) {
  const std::vector<std::uint8_t> bytes{0x01, 0x00, 0x08, 0x00, 0x06, 0x10, 0x00, 0x04,
                                        0x24, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00};
  const std::optional<WireHeader> datagram = ReadDatagramHeader(bytes);
  ASSERT_TRUE(datagram);
  EXPECT_EQ(datagram->address, 0x80001u);
  EXPECT_EQ(datagram->type, 0x4001006u);
  EXPECT_EQ(datagram->length, 0x24u);
  EXPECT_EQ(datagram->sequence, 0x10u);
  EXPECT_FALSE(ReadDatagramHeader(std::span(bytes).first(15)));
  EXPECT_TRUE(ReadTcpHeader(std::span(bytes).first(12)));
  EXPECT_FALSE(ReadTcpHeader(std::span(bytes).first(11)));
}

TEST(TcpFrameReader, ReassemblesMessagesFedByteByByte) {
  // {address 5, type 6, length 2, "ab"} then an empty message {7, 8, 0}.
  const std::vector<std::uint8_t> stream{5,   0, 0, 0, 6, 0, 0, 0, 2, 0, 0, 0, 'a',
                                         'b', 7, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0};
  TcpFrameReader reader;
  std::vector<TcpFrame> frames;
  std::vector<std::size_t> completed_at;
  for (std::size_t i = 0; i < stream.size(); ++i) {
    reader.Append(std::span(stream).subspan(i, 1));
    while (std::optional<TcpFrame> frame = reader.Next()) {
      frames.push_back(std::move(*frame));
      completed_at.push_back(i + 1);
    }
  }
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(completed_at, (std::vector<std::size_t>{14, 26}));
  EXPECT_EQ(frames[0].header.address, 5u);
  EXPECT_EQ(frames[0].header.type, 6u);
  EXPECT_EQ(frames[0].payload, (std::vector<std::uint8_t>{'a', 'b'}));
  EXPECT_EQ(frames[1].header.type, 8u);
  EXPECT_TRUE(frames[1].payload.empty());
  EXPECT_EQ(reader.BufferedBytes(), 0u);
}

TEST(TcpFrameReader, StopsAtHeaderAnnouncingMoreThanABuffer) {
  std::vector<std::uint8_t> stream;
  AppendTcpHeader(stream, WireHeader{1, 2, static_cast<std::uint32_t>(kMaxTcpPayload), 0});
  stream.resize(stream.size() + kMaxTcpPayload, 0x55);
  AppendTcpHeader(stream, WireHeader{1, 2, static_cast<std::uint32_t>(kMaxTcpPayload + 1), 0});
  stream.resize(stream.size() + 8, 0x55);

  TcpFrameReader reader;
  reader.Append(stream);
  const std::optional<TcpFrame> largest = reader.Next();
  ASSERT_TRUE(largest);
  EXPECT_EQ(largest->payload.size(), 4084u);
  EXPECT_FALSE(reader.Next());
  EXPECT_EQ(reader.OversizeLength(), 4085u);
  reader.Append(std::vector<std::uint8_t>(4096, 0));
  EXPECT_FALSE(reader.Next());
}

}  // namespace
}  // namespace testserver
