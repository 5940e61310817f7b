#pragma once

#include <cstdint>
#include <vector>

namespace testserver {

enum class Transport { kTcp, kUdp };

// One message as the client put it on the wire, kept in the order of arrival.
struct ReceivedMessage {
  Transport transport = Transport::kTcp;
  std::uint32_t address = 0;
  std::uint32_t type = 0;
  std::uint32_t length = 0;    // the header's length field
  std::uint32_t sequence = 0;  // datagrams only
  std::vector<std::uint8_t> payload;
  std::uint32_t atMs = 0;  // since the connection was accepted
};

}  // namespace testserver
