// The game session: the one object that holds a game together. Its mailbox receives the
// server's world-wide messages and object creations, and it owns the network client.
#pragma once

#include <cstdint>
#include <span>

#include "battle/effects/atmosphere.h"
#include "battle/main/frame_rate_report.h"
#include "battle/main/frame_time.h"
#include "battle/main/global_params.h"
#include "battle/main/phase_timing.h"
#include "battle/main/session_view.h"
#include "common/mailbox.h"
#include "common/socket/net_socket.h"

class CPlayerTank;
class IDirectDraw;
class IDirectDrawSurface;
struct LoginBlock;
struct R3xCamera;
struct R3xPalette;
struct R3xRenderContext;
struct R3xRenderDevice;

class CGameSession : public CMailbox {
 public:
  // Starts the engine: the session is built when the library loads.
  CGameSession();
  // Shuts the engine down and closes the connection (waiting for the socket thread).
  ~CGameSession();
  CGameSession(const CGameSession&) = delete;
  CGameSession& operator=(const CGameSession&) = delete;

  // Applies a GLOBAL_PARAMS_PASS record from its first 284 bytes, the atmosphere's share
  // included; false (nothing changed) for a shorter payload.
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
  // Handles the messages addressed to the session until its mailbox is empty.
  void DispatchMessages();

  // Display modes, views, render quality and screen captures (view_commands.cpp).
  // The display mode for the host's screen size and view flags, which it may change.
  void ChooseDisplayMode();
  // The 3D view above the cockpit (full 0) or filling the chosen mode.
  void SetViewRect(std::int32_t full);
  // The player's view commands: the layout of the host's view flags and screen size. Nothing
  // happens while the own tank does not exist.
  void RebuildView();
  void ToggleCockpit();
  // Preset 0 or 1 of the render context's indirect methods. 0.
  std::int32_t SetRenderQuality(std::int32_t preset);
  // Saves the board's front buffer as the next "zq%06d.bmp".
  void CaptureScreen();

  std::uint32_t quitFlag = 0;
  // The palette must be loaded into the device again at the next frame.
  std::uint32_t paletteDirty = 0;
  // The player's own tank; null until the server creates it.
  CPlayerTank* ownTank = nullptr;
  CSessionView view;
  // 1 once the own tank exists: the frame then updates bullets and times its object phases.
  std::uint32_t inPlay = 0;
  // Set by MSG_SYNC_PING; the next rendered frame answers it.
  std::uint32_t syncPingPending = 0;
  // 0 until the lost connection is noticed, then the frame time of that notice + 6000.
  std::uint32_t networkNoticeTime = 0;
  // The 3D view is drawn only once the frame time is past this.
  std::uint32_t noDrawUntil = 0;
  // The frame time at the end of the previous frame.
  std::uint32_t frameStart = 0;
  PhaseTiming timing;
  FrameRateReport frameRate;
  CNetSocket netSocket;
  // The values the session keeps of GLOBAL_PARAMS_PASS (state report interval, sky values).
  GlobalParamValues globalParams;
  // Sky, day clock, ambient light, particles and weather.
  CAtmosphere atmosphere;
};

// The one game session, constructed when the library loads and destroyed when it unloads.
extern CGameSession gGameSession;

// The display's render device and the palette it shows; both null until the world start makes
// them. The window procedure reloads the palette when the window is activated.
extern R3xRenderDevice* gRenderDevice;
// The world start's camera and render context; null outside a world.
extern R3xCamera* gCamera;
extern R3xRenderContext* gRenderContext;
extern R3xPalette* gCurrentPalette;
// Set when the device palette must be attached again at the next WM_QUERYNEWPALETTE.
extern std::uint32_t gPaletteReselect;
