// The game session: the one object that holds a game together. Its mailbox receives the
// server's world-wide messages and object creations, it owns the network client, and its world
// start and stop build and take down everything one arena needs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "battle/cockpit/cockpit.h"
#include "battle/core/frame_time.h"
#include "battle/core/global_params.h"
#include "battle/effects/atmosphere.h"
#include "battle/effects/palettes.h"
#include "battle/effects/sky_bitmaps.h"
#include "battle/main/frame_rate_report.h"
#include "battle/main/phase_timing.h"
#include "battle/main/session_view.h"
#include "common/mailbox.h"
#include "common/socket/net_socket.h"
#include "engine/r3x_core.h"
#include "platform/window/handles.h"

class CDesignScreen;
class CParamEditor;
class CPlayerTank;
class IDirectDraw;
class IDirectDrawSurface;
struct LoginBlock;

class CGameSession : public CMailbox {
 public:
  // Starts the engine and makes what lives as long as the library: the shared mover, the
  // joystick record, the random seed, the first frame-rate report time and the small sphere
  // volume.
  CGameSession();
  // Takes down what the constructor made, shuts the engine down, writes "barf.txt" and closes
  // the connection (waiting for the socket thread).
  ~CGameSession();
  CGameSession(const CGameSession&) = delete;
  CGameSession& operator=(const CGameSession&) = delete;

  // Applies a GLOBAL_PARAMS_PASS record from its first 284 bytes, the atmosphere's share
  // included; false (nothing changed) for a shorter payload.
  bool ApplyGlobalParams(std::span<const std::uint8_t> payload);

  // Builds what one arena needs: 0 on success, 1 on failure (after an error report where the
  // step names one). What was built stays until StopWorld.
  int StartWorld(const LoginBlock* block, IDirectDraw* directDraw,
                 IDirectDrawSurface* primarySurface);
  // Opens "Equip.r3x" and the world pack, loads the world file, the sky bitmaps and "equip.wld"
  // into the world: 0, or 1 after an error report.
  int LoadEquipAndWorld(const char* packName, const char* worldFileName);
  // Takes down whatever the world start built, sets the quit flag and closes the connection.
  // Runs after every game, also after a failed login or world start, and may run again.
  void StopWorld();
  // Flips phase timing on or off.
  void ToggleTiming();
  // One frame; returns at once while the quit flag is set.
  void Tick();
  // Handles the messages addressed to the session until its mailbox is empty.
  void DispatchMessages();
  // While phase timing is on: takes the frame time anew and ends the phase in progress as
  // `entry`.
  void CloseTimedPhase(PhaseEntry entry);

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
  HWND window = nullptr;
  // The player's own tank; null until the server creates it.
  CPlayerTank* ownTank = nullptr;
  // The own tank's cockpit: built with the tank and freed with it.
  CCockpit cockpit;
  // The parameter editor the own tank opened; null while closed.
  std::unique_ptr<CParamEditor> paramEditor;
  // The design screen: made at world start, destroyed at world stop.
  std::unique_ptr<CDesignScreen> designScreen;
  // True while the design screen is built and shown.
  bool DesignScreenUp() const;
  // Leaves the design screen when it is up, completing its loadout.
  void CloseDesignScreen();
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
  // Rendered frames up to the atmosphere's heavier step.
  std::uint32_t atmosphereCounter = 0;
  PhaseTiming timing;
  FrameRateReport frameRate;
  CNetSocket netSocket;
  // Sky bitmap handles in the order of kSkyBitmapNames; null when not loaded.
  std::array<R3xBitmapHandle, kSkyBitmapCount> skyBitmaps{};
  // The sky and weather state, ambient light, day clock, particles and lightning.
  CAtmosphere atmosphere;
  // The normal and infra-red palettes with the shade table, the palette the view shows, and
  // whether it must be loaded into the device again at the next frame.
  CPalettes palettes;
  // The values the session keeps of GLOBAL_PARAMS_PASS (state report interval, sky values).
  GlobalParamValues globalParams;

 private:
  // Fails the world start: posts the report and returns 1.
  static int Fail(int step, const char* message);
  // The world start's render device (with its two black frames) and Glide: 0, or 1.
  int OpenDisplay(IDirectDraw* directDraw, IDirectDrawSurface* primarySurface);
  void ShowLoadingPicture();
  // Destroys the render objects, the display and the sky bitmaps, whichever exist.
  void TakeDownDisplay();

  // False when the engine failed to start at load: no world can start then.
  bool engineStarted_ = false;
  // The palette of "load.bmp", shown until the world's palettes are loaded; the Glide back end
  // keeps it as its texture palette until the world stop.
  R3xPalette* loadingPalette_ = nullptr;
};

// The one game session, constructed when the library loads and destroyed when it unloads.
extern CGameSession gGameSession;
