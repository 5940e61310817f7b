#include "common/socket/net_framing.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace {

void CopyOut(const arena::ByteWriter& writer, std::span<std::uint8_t> out) {
  std::copy(writer.bytes().begin(), writer.bytes().end(), out.begin());
}

}  // namespace

void WriteNetHeader(std::span<std::uint8_t, kNetHeaderSize> out, const NetHeader& header) {
  arena::ByteWriter writer;
  writer.U32(header.address);
  writer.U32(header.type);
  writer.U32(header.length);
  CopyOut(writer, out);
}

NetHeader ReadNetHeader(std::span<const std::uint8_t, kNetHeaderSize> bytes) {
  arena::ByteReader reader(bytes);
  NetHeader header;
  header.address = reader.U32();
  header.type = reader.U32();
  header.length = reader.U32();
  return header;
}

void WriteNetDatagramHeader(std::span<std::uint8_t, kNetDatagramHeaderSize> out,
                            const NetDatagramHeader& header) {
  arena::ByteWriter writer;
  writer.U32(header.address);
  writer.U32(header.type);
  writer.U32(header.length);
  writer.U32(header.sequence);
  CopyOut(writer, out);
}

std::optional<NetDatagram> ReadNetDatagram(std::span<const std::uint8_t> bytes) {
  arena::ByteReader reader(bytes);
  NetDatagram datagram{};
  datagram.message.address = reader.U32();
  datagram.message.type = reader.U32();
  const std::uint32_t length = reader.U32();
  datagram.sequence = reader.U32();
  datagram.message.payload = reader.Span(length);
  if (reader.failed()) {
    return std::nullopt;
  }
  return datagram;
}
