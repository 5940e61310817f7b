// The game session: the one object that holds a game together. Its mailbox receives the
// server's world-wide messages and object creations, and it owns the network client.
#pragma once

#include <cstdint>
#include <span>

#include "battle/main/frame_time.h"
#include "battle/main/global_params.h"
#include "common/mailbox.h"
#include "common/socket/net_socket.h"

class IDirectDraw;
class IDirectDrawSurface;
struct LoginBlock;
struct R3xPalette;
struct R3xRenderDevice;

class CGameSession : public CMailbox {
 public:
  // Starts the engine: the session is built when the library loads.
  CGameSession();
  // Shuts the engine down and closes the connection (waiting for the socket thread).
  ~CGameSession();
  CGameSession(const CGameSession&) = delete;
  CGameSession& operator=(const CGameSession&) = delete;

  // Applies a GLOBAL_PARAMS_PASS record from its first 284 bytes; false (nothing changed) for a
  // shorter payload.
  bool ApplyGlobalParams(std::span<const std::uint8_t> payload);

  // Builds what one arena needs: 0 on success, 1 on failure (after an error report). What was
  // built stays until StopWorld.
  int StartWorld(const LoginBlock* block, IDirectDraw* directDraw,
                 IDirectDrawSurface* primarySurface);
  // Takes down what the world start built, sets the quit flag and closes the connection. Runs
  // after every game, also after a failed login or world start.
  void StopWorld();
  // One frame; returns at once while the quit flag is set.
  void Tick();

  std::uint32_t quitFlag = 0;
  CNetSocket netSocket;
  // The values the session keeps of GLOBAL_PARAMS_PASS (state report interval, sky values).
  GlobalParamValues globalParams;
};

// The one game session, constructed when the library loads and destroyed when it unloads.
extern CGameSession gGameSession;

// The display's render device and the palette it shows; both null until the world start makes
// them. The window procedure reloads the palette when the window is activated.
extern R3xRenderDevice* gRenderDevice;
extern R3xPalette* gCurrentPalette;
// Set when the device palette must be attached again at the next WM_QUERYNEWPALETTE.
extern std::uint32_t gPaletteReselect;
