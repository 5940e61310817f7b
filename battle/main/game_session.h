// The game session: the one object that holds a game together. Its mailbox receives the
// server's world-wide messages and object creations, and it owns the network client.
#pragma once

#include <cstdint>
#include <span>

#include "battle/main/global_params.h"
#include "common/mailbox.h"
#include "common/socket/net_socket.h"

class CGameSession : public CMailbox {
 public:
  CGameSession();
  ~CGameSession();
  CGameSession(const CGameSession&) = delete;
  CGameSession& operator=(const CGameSession&) = delete;

  // Applies a GLOBAL_PARAMS_PASS record; false (nothing changed) for any size but 284 bytes.
  bool ApplyGlobalParams(std::span<const std::uint8_t> payload);

  std::uint32_t quitFlag = 0;
  CNetSocket netSocket;
  // The values the session keeps of GLOBAL_PARAMS_PASS (state report interval, sky values).
  GlobalParamValues globalParams;
};

// The one game session, constructed when the library loads and destroyed when it unloads.
extern CGameSession gGameSession;
