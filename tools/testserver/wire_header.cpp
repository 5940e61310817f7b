#include "tools/testserver/wire_header.h"

#include "tools/testserver/byte_writer.h"

namespace testserver {
namespace {

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

}  // namespace

void AppendTcpHeader(std::vector<std::uint8_t>& out, const WireHeader& header) {
  AppendU32(out, header.address);
  AppendU32(out, header.type);
  AppendU32(out, header.length);
}

void AppendDatagramHeader(std::vector<std::uint8_t>& out, const WireHeader& header) {
  AppendTcpHeader(out, header);
  AppendU32(out, header.sequence);
}

std::optional<WireHeader> ReadTcpHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kTcpHeaderSize) {
    return std::nullopt;
  }
  return WireHeader{ReadU32(bytes, 0), ReadU32(bytes, 4), ReadU32(bytes, 8), 0};
}

std::optional<WireHeader> ReadDatagramHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kDatagramHeaderSize) {
    return std::nullopt;
  }
  return WireHeader{ReadU32(bytes, 0), ReadU32(bytes, 4), ReadU32(bytes, 8), ReadU32(bytes, 12)};
}

}  // namespace testserver
