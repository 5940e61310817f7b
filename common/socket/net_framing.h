// The wire framing: a 12-byte header in front of every message on the TCP stream, a 16-byte one
// in front of every datagram (one message per datagram). Fields are little-endian u32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

inline constexpr std::size_t kNetBufferSize = 4096;  // each side's message buffer
inline constexpr std::size_t kNetHeaderSize = 12;
inline constexpr std::size_t kNetDatagramHeaderSize = 16;
inline constexpr std::size_t kMaxTcpPayload = kNetBufferSize - kNetHeaderSize;
inline constexpr std::size_t kMaxDatagramPayload = kNetBufferSize - kNetDatagramHeaderSize;

struct NetHeader {
  std::uint32_t address;  // outgoing the sender's mailbox, incoming the destination's
  std::uint32_t type;
  std::uint32_t length;  // payload bytes
};

struct NetDatagramHeader {
  std::uint32_t address;
  std::uint32_t type;
  std::uint32_t length;
  // Outgoing, the UDP bytes this client sent before the datagram; incoming, checked against the
  // last accepted one.
  std::uint32_t sequence;
};

// One received message; the payload points into the buffer it arrived in.
struct NetMessage {
  std::uint32_t address;
  std::uint32_t type;
  std::span<const std::uint8_t> payload;
};

void WriteNetHeader(std::span<std::uint8_t, kNetHeaderSize> out, const NetHeader& header);
NetHeader ReadNetHeader(std::span<const std::uint8_t, kNetHeaderSize> bytes);
void WriteNetDatagramHeader(std::span<std::uint8_t, kNetDatagramHeaderSize> out,
                            const NetDatagramHeader& header);

// A whole datagram as received, its payload the header's length of the bytes after the header
// (bytes beyond it are not part of the message): nothing when it is shorter than its header or
// than its length field says.
struct NetDatagram {
  std::uint32_t sequence;
  NetMessage message;
};
std::optional<NetDatagram> ReadNetDatagram(std::span<const std::uint8_t> bytes);
