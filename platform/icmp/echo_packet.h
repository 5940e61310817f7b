// ICMP echo packets: the request that IcmpSendEcho sends and the reading of what comes back,
// which is untrusted network input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/kernel/types.h"

namespace platform {

// An echo request (type 8) with the identifier, sequence number and data, and its checksum.
std::vector<std::uint8_t> MakeEchoRequest(WORD identifier, WORD sequence, const void* data,
                                          WORD size);

// The echoed data when the packet is an echo reply (type 0) with that sequence number and, when
// identifier is given, that identifier; false for any other packet. A packet from a raw socket
// starts with its IP header.
bool ReadEchoReply(const std::uint8_t* packet, std::size_t size, bool withIpHeader,
                   const WORD* identifier, WORD sequence, std::vector<std::uint8_t>& data);

}  // namespace platform
