#include "common/socket/net_stream_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace {

struct Received {
  std::uint32_t address;
  std::uint32_t type;
  std::vector<std::uint8_t> payload;
};

void AppendMessage(std::vector<std::uint8_t>& stream, std::uint32_t address, std::uint32_t type,
                   std::uint32_t length, std::size_t payloadBytes, std::uint8_t fill) {
  std::array<std::uint8_t, kNetHeaderSize> header{};
  WriteNetHeader(header, NetHeader{address, type, length});
  stream.insert(stream.end(), header.begin(), header.end());
  stream.insert(stream.end(), payloadBytes, fill);
}

// Feeds the stream in reads of at most `chunk` bytes, as recv would hand it over.
std::vector<Received> Feed(NetStreamReader& reader, std::span<const std::uint8_t> stream,
                           std::size_t chunk) {
  std::vector<Received> received;
  while (!stream.empty()) {
    const std::span<std::uint8_t> space = reader.Space();
    EXPECT_FALSE(space.empty());
    const std::size_t count = std::min({chunk, space.size(), stream.size()});
    std::copy_n(stream.begin(), count, space.begin());
    stream = stream.subspan(count);
    if (const auto message = reader.Commit(count)) {
      received.push_back(Received{
          message->address, message->type, {message->payload.begin(), message->payload.end()}});
    }
  }
  return received;
}

TEST(NetStreamReaderTest, MessagesArriveOnceWhateverTheSplit) {
  std::vector<std::uint8_t> stream;
  AppendMessage(stream, 0x90001, 0x4001011, 40, 40, 0x11);
  AppendMessage(stream, 0x80000, 0x4000002, 0, 0, 0);
  AppendMessage(stream, 0x40000, 0x3000001, kMaxTcpPayload, kMaxTcpPayload, 0x22);
  for (const std::size_t chunk :
       {std::size_t{1}, std::size_t{5}, std::size_t{13}, kNetBufferSize}) {
    NetStreamReader reader;
    const std::vector<Received> received = Feed(reader, stream, chunk);
    ASSERT_EQ(received.size(), 3u) << chunk;
    EXPECT_EQ(received[0].address, 0x90001u);
    EXPECT_EQ(received[0].payload, std::vector<std::uint8_t>(40, 0x11));
    EXPECT_EQ(received[1].type, 0x4000002u);
    EXPECT_TRUE(received[1].payload.empty());
    EXPECT_EQ(received[2].payload, std::vector<std::uint8_t>(kMaxTcpPayload, 0x22));
    EXPECT_FALSE(reader.InsideMessage());
  }
}

TEST(NetStreamReaderTest, OversizedMessageIsDroppedWholeAndTheStreamStaysInStep) {
  for (const std::uint32_t length : {std::uint32_t{kMaxTcpPayload + 1}, std::uint32_t{10000}}) {
    std::vector<std::uint8_t> stream;
    AppendMessage(stream, 0x90001, 0x4001011, length, length, 0x33);
    AppendMessage(stream, 0x90002, 0x4001012, 4, 4, 0x44);
    for (const std::size_t chunk : {std::size_t{7}, kNetBufferSize}) {
      NetStreamReader reader;
      const std::vector<Received> received = Feed(reader, stream, chunk);
      ASSERT_EQ(received.size(), 1u) << length << " " << chunk;
      EXPECT_EQ(received[0].address, 0x90002u);
      EXPECT_EQ(received[0].payload, std::vector<std::uint8_t>(4, 0x44));
    }
  }
}

TEST(NetStreamReaderTest, PartOfAHeaderIsKeptAcrossReads) {
  std::vector<std::uint8_t> stream;
  AppendMessage(stream, 0x90001, 0x4001011, 2, 2, 0x55);
  NetStreamReader reader;
  EXPECT_TRUE(Feed(reader, std::span(stream).first(5), 5).empty());
  EXPECT_TRUE(reader.InsideMessage());
  EXPECT_EQ(reader.Space().size(), kNetHeaderSize - 5);
  const std::vector<Received> received = Feed(reader, std::span(stream).subspan(5), 100);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].payload, std::vector<std::uint8_t>(2, 0x55));
}

TEST(NetStreamReaderTest, CommitTakesNoMoreThanTheSpaceOffered) {
  NetStreamReader reader;
  const std::span<std::uint8_t> space = reader.Space();
  std::array<std::uint8_t, kNetHeaderSize> header{};
  WriteNetHeader(header, NetHeader{1, 2, 0});
  std::copy(header.begin(), header.end(), space.begin());
  const auto message = reader.Commit(kNetBufferSize);
  ASSERT_TRUE(message.has_value());
  EXPECT_TRUE(message->payload.empty());
  EXPECT_FALSE(reader.InsideMessage());
}

}  // namespace
