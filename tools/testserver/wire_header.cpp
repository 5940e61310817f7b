#include "tools/testserver/wire_header.h"

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace testserver {
namespace {

void AppendHeader(std::vector<std::uint8_t>& out, const WireHeader& header, bool datagram) {
  arena::ByteWriter writer(std::move(out));
  writer.U32(header.address);
  writer.U32(header.type);
  writer.U32(header.length);
  if (datagram) {
    writer.U32(header.sequence);
  }
  out = writer.Take();
}

std::optional<WireHeader> ReadHeader(std::span<const std::uint8_t> bytes, bool datagram) {
  arena::ByteReader reader(bytes);
  WireHeader header;
  header.address = reader.U32();
  header.type = reader.U32();
  header.length = reader.U32();
  if (datagram) {
    header.sequence = reader.U32();
  }
  if (reader.failed()) {
    return std::nullopt;
  }
  return header;
}

}  // namespace

void AppendTcpHeader(std::vector<std::uint8_t>& out, const WireHeader& header) {
  AppendHeader(out, header, false);
}

void AppendDatagramHeader(std::vector<std::uint8_t>& out, const WireHeader& header) {
  AppendHeader(out, header, true);
}

std::optional<WireHeader> ReadTcpHeader(std::span<const std::uint8_t> bytes) {
  return ReadHeader(bytes, false);
}

std::optional<WireHeader> ReadDatagramHeader(std::span<const std::uint8_t> bytes) {
  return ReadHeader(bytes, true);
}

}  // namespace testserver
