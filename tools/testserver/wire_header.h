#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace testserver {

// The header in front of every message: 12 bytes on the TCP stream, 16 in a datagram (the
// datagram adds the sender's sequence). All fields are little-endian u32.
inline constexpr std::size_t kTcpHeaderSize = 12;
inline constexpr std::size_t kDatagramHeaderSize = 16;
// Both sides use 4096-byte message buffers.
inline constexpr std::size_t kMaxTcpPayload = 4096 - kTcpHeaderSize;
inline constexpr std::size_t kMaxDatagramPayload = 4096 - kDatagramHeaderSize;

struct WireHeader {
  std::uint32_t address = 0;
  std::uint32_t type = 0;
  std::uint32_t length = 0;
  std::uint32_t sequence = 0;  // datagrams only
};

void AppendTcpHeader(std::vector<std::uint8_t>& out, const WireHeader& header);
void AppendDatagramHeader(std::vector<std::uint8_t>& out, const WireHeader& header);

// Nothing when fewer bytes than the header are given.
std::optional<WireHeader> ReadTcpHeader(std::span<const std::uint8_t> bytes);
std::optional<WireHeader> ReadDatagramHeader(std::span<const std::uint8_t> bytes);

}  // namespace testserver
