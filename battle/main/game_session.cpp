#include "battle/main/game_session.h"

#include "battle/main/log.h"
#include "common/messages.h"

CGameSession gGameSession;

CGameSession::CGameSession()
    : netSocket(CNetSocket::kStreamSocket, CNetSocket::kKeepAlive, /*threaded=*/1) {
  SetAddress(KIND_SESSION);
  netSocket.SetAddress(kNetworkAddress);
  // The network client writes its socket set-up into the game's log.
  CNetSocket::SetLogFunction(LogPrintf);
}

CGameSession::~CGameSession() = default;

bool CGameSession::ApplyGlobalParams(std::span<const std::uint8_t> payload) {
  return ::ApplyGlobalParams(globalParams, payload);
}
