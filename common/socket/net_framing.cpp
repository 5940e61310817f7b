#include "common/socket/net_framing.h"

namespace {

void PutU32(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

std::uint32_t GetU32(const std::uint8_t* bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | bytes[i];
  }
  return value;
}

}  // namespace

void WriteNetHeader(std::span<std::uint8_t, kNetHeaderSize> out, const NetHeader& header) {
  PutU32(&out[0], header.address);
  PutU32(&out[4], header.type);
  PutU32(&out[8], header.length);
}

NetHeader ReadNetHeader(std::span<const std::uint8_t, kNetHeaderSize> bytes) {
  return NetHeader{GetU32(&bytes[0]), GetU32(&bytes[4]), GetU32(&bytes[8])};
}

void WriteNetDatagramHeader(std::span<std::uint8_t, kNetDatagramHeaderSize> out,
                            const NetDatagramHeader& header) {
  PutU32(&out[0], header.address);
  PutU32(&out[4], header.type);
  PutU32(&out[8], header.length);
  PutU32(&out[12], header.sequence);
}

std::optional<NetDatagram> ReadNetDatagram(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kNetDatagramHeaderSize) {
    return std::nullopt;
  }
  const std::uint32_t length = GetU32(&bytes[8]);
  const std::span<const std::uint8_t> payload = bytes.subspan(kNetDatagramHeaderSize);
  if (length != payload.size()) {
    return std::nullopt;
  }
  return NetDatagram{GetU32(&bytes[12]), NetMessage{GetU32(&bytes[0]), GetU32(&bytes[4]), payload}};
}
