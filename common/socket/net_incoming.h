// What the network client does with a message from the server, by its type and payload.
#pragma once

#include <cstdint>
#include <span>

struct NetIncoming {
  enum class Action {
    kPassOn,        // post it to the mailbox named in its header
    kLogout,        // post it on, then close the connection
    kConsume,       // handled by nobody (time sync, file transfer)
    kSetUdpPort,    // `port` (host order) becomes the server's UDP port
    kAliveReply,    // an alive sign; `value` is the time its request was sent
    kAliveRequest,  // answer with an alive reply carrying the request's value
    kShort,         // shorter than the `value` bytes its receiver reads: dropped and logged
  };
  Action action;
  std::uint16_t port = 0;
  std::uint32_t value = 0;
};

// The size gate comes first: a payload shorter than the catalogue's size for its type is never
// read or passed on, unless its receiver rules on the length itself (the login fails on a short
// global parameter record); a longer one is, and its receiver reads the leading bytes.
NetIncoming ClassifyIncoming(std::uint32_t type, std::span<const std::uint8_t> payload);
