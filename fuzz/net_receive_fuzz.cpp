// Feeds arbitrary TCP byte streams and datagrams to the network client's receive path: the
// stream reader, the datagram reader and the handling by type.
//
// Input: a sequence of records {u8 kind, u16 size, size bytes}. An even kind hands the bytes to
// the TCP stream, cut into reads of (kind / 2 + 1) bytes at most; an odd kind is one datagram.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/byte_reader.h"
#include "common/messages.h"
#include "common/socket/net_framing.h"
#include "common/socket/net_incoming.h"
#include "common/socket/net_stream_reader.h"

namespace {

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

// Touches every payload byte, so that the sanitizer sees any read outside the buffer, and checks
// the message against the header in front of it at the buffer's start: the payload follows the
// header, inside the buffer, and address, type and length are the header's.
void Handle(const NetMessage& message, std::span<const std::uint8_t> buffer,
            std::size_t headerSize) {
  volatile std::uint8_t touched = 0;
  for (const std::uint8_t byte : message.payload) {
    touched = touched ^ byte;
  }
  Check(message.payload.empty() ||
        (message.payload.data() == buffer.data() + headerSize &&
         message.payload.data() + message.payload.size() <= buffer.data() + buffer.size()));
  const NetHeader header = ReadNetHeader(buffer.first<kNetHeaderSize>());
  Check(header.address == message.address && header.type == message.type &&
        header.length == message.payload.size());
  // The size gate: nothing shorter than its type's size is read or passed on.
  const NetIncoming incoming = ClassifyIncoming(message.type, message.payload);
  const std::uint32_t wanted = MinimumReceivedPayload(message.type);
  if (incoming.action == NetIncoming::Action::kShort) {
    Check(message.payload.size() < wanted && incoming.value == wanted);
  } else if (incoming.action != NetIncoming::Action::kConsume &&
             !IsSizeRuledByReceiver(message.type)) {
    Check(message.payload.size() >= wanted);
  }
  if (incoming.action == NetIncoming::Action::kSetUdpPort) {
    Check(message.payload.size() >= 2);
  }
  if (incoming.action == NetIncoming::Action::kAliveReply ||
      incoming.action == NetIncoming::Action::kAliveRequest) {
    Check(message.payload.size() >= 4);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  NetStreamReader reader;
  std::span<const std::uint8_t> input(data, size);
  while (input.size() >= 3) {
    arena::ByteReader record(input);
    const std::uint8_t kind = record.U8();
    const std::size_t length = std::min<std::size_t>(input.size() - 3, record.U16());
    std::span<const std::uint8_t> bytes = input.subspan(3, length);
    input = input.subspan(3 + length);
    if ((kind & 1) != 0) {
      // Received into a buffer of exactly its size, as recvfrom gives it.
      const std::span<const std::uint8_t> datagram =
          bytes.first(std::min(bytes.size(), kNetBufferSize));
      if (const auto read = ReadNetDatagram(datagram)) {
        Check(read->message.payload.size() <= kMaxDatagramPayload);
        Handle(read->message, datagram, kNetDatagramHeaderSize);
      }
      continue;
    }
    const std::size_t readSize = kind / 2 + 1;
    while (!bytes.empty()) {
      const std::span<std::uint8_t> space = reader.Space();
      Check(!space.empty());
      const std::size_t count = std::min({readSize, space.size(), bytes.size()});
      std::copy_n(bytes.begin(), count, space.begin());
      bytes = bytes.subspan(count);
      if (const auto message = reader.Commit(count)) {
        // The reader waits for the next header at the start of its buffer, and the body follows
        // the header there.
        const std::span<const std::uint8_t> buffer(reader.Space().data(), kNetBufferSize);
        Handle(*message, buffer, kNetHeaderSize);
      }
    }
  }
  return 0;
}
