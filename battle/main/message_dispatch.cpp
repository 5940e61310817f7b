// The game session's messages: object creations from the server, the quit, and the world-wide
// settings.
#include <cstdint>
#include <span>

#include "base/byte_reader.h"
#include "battle/core/global_params.h"
#include "battle/core/log.h"
#include "battle/core/team_bases.h"
#include "battle/main/game_session.h"
#include "battle/main/object_kinds.h"
#include "common/messages.h"

namespace {

void HandleMessage(CGameSession& session, std::uint32_t type,
                   std::span<const std::uint8_t> payload) {
  // The arena objects' creations and removals go to their kinds.
  if (DispatchObjectMessage(session, type, payload)) {
    return;
  }
  arena::ByteReader reader(payload);
  switch (type) {
    case MSG_QUIT:
      session.quitFlag = 1;
      break;
    case MSG_SYNC_PING:
      session.syncPingPending = 1;
      break;
    case GLOBAL_PARAMS_PASS:
      session.ApplyGlobalParams(payload);
      break;
    case MSG_SET_GRAVITY:
      gGravity = reader.F32();
      break;
    case MSG_TEAM_BASE: {
      const std::optional<TeamBase> base = ReadTeamBase(payload);
      if (base && !SetTeamBase(*base)) {
        LogPrintf(0, "team base for team %u ignored: there are teams 0-%u", base->team,
                  kTeamCount - 1);
      }
      break;
    }
    case MSG_TIME_BASE:
      session.atmosphere.SyncTime(payload);
      break;
    case MSG_TIME_OF_DAY:
      session.atmosphere.SetTimeOfDay(payload, gFrameTime);
      break;
    case MSG_WEATHER_EVENT:
      session.atmosphere.QueueWeather(payload);
      break;
    case MSG_WEATHER_ENABLE:
      session.atmosphere.EnableWeather(payload, gFrameTime);
      break;
    default:
      // MSG_SET_GLOBAL_WORD4 among them: the client does not use its value.
      break;
  }
}

}  // namespace

void CGameSession::DispatchMessages() {
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = Receive(length)) {
    // Local posts do not pass the network client's size gate: the same rule, here.
    const std::uint32_t needed = MinimumReceivedPayload(message->type);
    if (message->length < needed) {
      LogPrintf(0, "short message: type 0x%08X, %u bytes of %u", message->type, message->length,
                needed);
      continue;
    }
    HandleMessage(*this, message->type, message->Bytes());
  }
}
