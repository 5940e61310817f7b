// Whatever arrives on an ICMP socket, read as an echo reply with and without an IP header.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/icmp/echo_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> echoed;
  const WORD identifier = 0x1234;
  platform::ReadEchoReply(data, size, true, &identifier, 1, echoed);
  platform::ReadEchoReply(data, size, false, nullptr, 1, echoed);
  return 0;
}
