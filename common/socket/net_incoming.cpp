#include "common/socket/net_incoming.h"

#include "common/messages.h"

NetIncoming ClassifyIncoming(std::uint32_t type, std::span<const std::uint8_t> payload) {
  using Action = NetIncoming::Action;
  switch (type) {
    case MSG_LOGOUT:
      return {Action::kLogout};
    case MSG_TIME_SYNC:
      return {Action::kConsume};
    case MSG_UDP_PORT:
      if (payload.size() != 2) {
        return {Action::kDrop};
      }
      // Network order.
      return {Action::kSetUdpPort, static_cast<std::uint16_t>((payload[0] << 8) | payload[1])};
    case MSG_ALIVE_REPLY:
    case MSG_ALIVE_REQUEST: {
      if (payload.size() != 4) {
        return {Action::kDrop};
      }
      const std::uint32_t value = payload[0] | (payload[1] << 8) | (payload[2] << 16) |
                                  (static_cast<std::uint32_t>(payload[3]) << 24);
      return {type == MSG_ALIVE_REPLY ? Action::kAliveReply : Action::kAliveRequest, 0, value};
    }
    default:
      break;
  }
  if (type >= MSG_FILE_OFFER && type <= MSG_FILE_CANCEL) {
    return {Action::kConsume};
  }
  return {Action::kPassOn};
}
