#include "platform/icmp/echo_packet.h"

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace platform {
namespace {

constexpr BYTE kEchoRequest = 8;
constexpr BYTE kEchoReply = 0;

// The Internet checksum: the ones' complement of the ones' complement sum of 16-bit words.
WORD Checksum(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const std::uint32_t high = bytes[i];
    const std::uint32_t low = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    sum += (high << 8) | low;
  }
  while ((sum >> 16) != 0) {
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  return static_cast<WORD>(~sum);
}

}  // namespace

std::vector<std::uint8_t> MakeEchoRequest(WORD identifier, WORD sequence, const void* data,
                                          WORD size) {
  arena::ByteWriter packet;
  packet.U8(kEchoRequest);
  packet.U8(0);
  packet.U16BigEndian(0);
  packet.U16BigEndian(identifier);
  packet.U16BigEndian(sequence);
  std::vector<std::uint8_t> bytes = packet.bytes();
  const auto* first = static_cast<const std::uint8_t*>(data);
  if (first != nullptr) {
    bytes.insert(bytes.end(), first, first + size);
  }
  const WORD checksum = Checksum(bytes);
  bytes[2] = static_cast<std::uint8_t>(checksum >> 8);
  bytes[3] = static_cast<std::uint8_t>(checksum);
  return bytes;
}

bool ReadEchoReply(const std::uint8_t* packet, std::size_t size, bool withIpHeader,
                   const WORD* identifier, WORD sequence, std::vector<std::uint8_t>& data) {
  arena::ByteReader reader(packet, size);
  if (withIpHeader) {
    // The IP header's length is the low nibble of its first byte, in 32-bit words.
    const std::uint8_t versionAndLength = reader.U8();
    const std::size_t headerSize = static_cast<std::size_t>(versionAndLength & 0x0F) * 4;
    if (headerSize < 20) {
      return false;
    }
    reader.Skip(headerSize - 1);
  }
  const std::uint8_t type = reader.U8();
  reader.Skip(3);  // code and checksum
  const WORD replyIdentifier = reader.U16BigEndian();
  const WORD replySequence = reader.U16BigEndian();
  if (!reader.ok() || type != kEchoReply || replySequence != sequence ||
      (identifier != nullptr && replyIdentifier != *identifier)) {
    return false;
  }
  data.resize(reader.remaining());
  return reader.Bytes(data.data(), data.size());
}

}  // namespace platform
