#include "common/socket/net_incoming.h"

#include "base/byte_reader.h"
#include "common/messages.h"

NetIncoming ClassifyIncoming(std::uint32_t type, std::span<const std::uint8_t> payload) {
  using Action = NetIncoming::Action;
  if (type == MSG_TIME_SYNC || (type >= MSG_FILE_OFFER && type <= MSG_FILE_CANCEL)) {
    return {Action::kConsume};
  }
  const std::uint32_t wanted = MinimumReceivedPayload(type);
  if (payload.size() < wanted && !IsSizeRuledByReceiver(type)) {
    return {Action::kShort, 0, wanted};
  }
  arena::ByteReader reader(payload);
  switch (type) {
    case MSG_LOGOUT:
      return {Action::kLogout};
    case MSG_UDP_PORT:
      return {Action::kSetUdpPort, reader.U16BigEndian()};
    case MSG_ALIVE_REPLY:
      return {Action::kAliveReply, 0, reader.U32()};
    case MSG_ALIVE_REQUEST:
      return {Action::kAliveRequest, 0, reader.U32()};
    default:
      return {Action::kPassOn};
  }
}
