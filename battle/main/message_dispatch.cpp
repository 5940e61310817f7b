// The game session's messages: object creations from the server, the quit, and the world-wide
// settings.
#include <cstdint>
#include <span>

#include "base/byte_reader.h"
#include "battle/core/global_params.h"
#include "battle/core/log.h"
#include "battle/core/team_bases.h"
#include "battle/main/game_session.h"
#include "common/messages.h"

namespace {

void HandleMessage(CGameSession& session, std::uint32_t type,
                   std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  switch (type) {
    case MSG_CREATE_PLAYER_TANK:
      // Made with the player's tank: a tank that exists already is deleted first; then the
      // CPlayerTank is constructed from the payload and kept as the own tank (null when it
      // cannot be allocated); when it exists its cockpit is built (BuildCockpit), an empty
      // MSG_COCKPIT_REFRESH is posted to KIND_PLAYER_INPUT and the in-play flag is set.
      break;
    case MSG_CREATE_TANK:
      // Made with the tanks: a CTank constructed from the payload with local 0, linking itself
      // into the tank list.
      break;
    case MSG_REMOVE_TANK:
      // Made with the tanks: KillTank with payload word 0.
      break;
    case MSG_CREATE_MINE:
      // Made with the mines: a CMine constructed from gWorld and the payload.
      break;
    case MSG_CREATE_DEFENSE:
      // Made with the defense objects: a CDefenseTower constructed from the payload.
      break;
    case MSG_CREATE_FLAG:
      // Made with the flags: a CFlag constructed from payload words 0-5.
      break;
    case MSG_CREATE_MISSILE:
      // Made with the missiles: a CMissile constructed from a copy of words 2-6, word 1, word 0
      // and 0.
      break;
    case MSG_CREATE_RECON:
      // Made with the recon drones: a CRecon constructed from the payload.
      break;
    case MSG_CREATE_RECON_GUN:
      // Made with the recon guns: a CReconGun constructed from the payload.
      break;
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
