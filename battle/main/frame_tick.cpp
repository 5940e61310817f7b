// One frame of the game: the frame time, the server's messages, the objects' updates, then the
// 3D view with the cockpit and the present, the sync-ping answer and the frame-rate report.
#include <functional>

#include "base/byte_writer.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/player_input_poll.h"
#include "battle/arena/player_tank.h"
#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "battle/effects/camera_image.h"
#include "battle/effects/flare_and_particles.h"
#include "battle/effects/sky_dome.h"
#include "battle/main/game_session.h"
#include "battle/main/object_kinds.h"
#include "battle/screens/design_screen.h"
#include "battle/screens/param_editor.h"
#include "common/messages.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"
#include "platform/kernel/clock.h"

namespace {

// How long after the connection is found lost the notice counts as shown.
constexpr std::uint32_t kNetworkNoticeTime = 6000;
constexpr std::uint32_t kHeavyAtmosphereFrame = 20;
// The present waits for the board's next frame.
constexpr std::int32_t kSwapInterval = 1;

// The palette step before the present: a dirty palette is loaded into the device again, and a
// palette switched since the last frame (the atmosphere or the infra-red view) is installed.
// True when another palette was installed.
bool ApplyPalette(CPalettes& palettes) {
  if (palettes.PaletteDirty()) {
    r3xSetDevicePalette(gRenderDevice, palettes.Applied());
    palettes.ClearPaletteDirty();
  }
  if (palettes.Applied() != palettes.Current()) {
    palettes.SetApplied(palettes.Current());
    r3xSetDevicePalette(gRenderDevice, palettes.Current());
    return true;
  }
  return false;
}

// The 3D view, the cockpit, the palette step and the present.
void DrawAndPresent(CGameSession& session) {
  if (session.noDrawUntil < gFrameTime) {
    const std::uint8_t grey = session.atmosphere.DayClock().SkyClearGrey();
    r3xGlideClear(gGlideContext, 1, 1, grey, grey, grey);
    r3xGlideBeginFrame(gWorld, gRenderContext, gCamera);
    DrawSky(&session.atmosphere.Sky());
    r3xGlideDrawWorld(gWorld, gRenderContext, gCamera);
    DrawFlareAndParticles(&session.atmosphere.Sky());
    session.noDrawUntil = 0;
  }
  session.CloseTimedPhase(kPhaseView);
  // The after-view hook of a drawn view does nothing.
  if (session.noDrawUntil != 0) {
    ClearCameraImage(gCamera);
  }
  session.CloseTimedPhase(kPhaseViewEnd);
  if (CPlayerTank* tank = session.ownTank; tank != nullptr) {
    const bool rocketsOn = tank->rocketThrust != 0;
    session.cockpit.Draw({.heading = tank->heading,
                          .reconLamp = 0,
                          .rocketsOn = rocketsOn,
                          .networkNotice = session.networkNoticeTime != 0,
                          .rocketBarChanged = tank->rocketBarDirty != 0,
                          .rocketFuel = tank->rocketFuel,
                          .rocketFuelMaximum = GetGameParamFloat(PARAM_ROCKET_FUEL_MAX)});
    if (rocketsOn) {
      tank->rocketBarDirty = 0;
    }
  }
  session.CloseTimedPhase(kPhaseCockpit);
  if (session.timing.on != 0) {
    session.timing.SetCount(kPhasePolygons, r3xGetPolygonCount(gRenderContext));
    session.timing.SetCount(kPhaseRegions, r3xGetRegionCount(gRenderContext));
  }
  session.CloseTimedPhase(kPhaseStatistics);

  if (ApplyPalette(session.palettes)) {
    // The panels' pixels were made for the old palette: the whole cockpit is drawn again.
    session.cockpit.Invalidate();
  }
  r3xGlidePresent(gGlideContext, kSwapInterval);
}

// The render path: the 3D view, the palette and the present, then what follows the present.
void RenderFrame(CGameSession& session) {
  if (session.syncPingPending != 0) {
    session.Post(kNetworkAddress, MSG_SYNC_PING, 0, nullptr);
    session.syncPingPending = 0;
  }
  // Every 20th frame is the atmosphere's heavier one, which does the same work as the others.
  if (++session.atmosphereCounter >= kHeavyAtmosphereFrame) {
    session.atmosphereCounter = 0;
  }
  // The own tank's infra-red view holds the ambient light at full.
  session.atmosphere.UpdateAtmosphere(
      gFrameTime, session.ownTank != nullptr && session.ownTank->infraRedOn != 0);
  session.CloseTimedPhase(kPhaseAtmosphere);

  // A session without a world (none started) has nothing to draw or show.
  if (gGlideContext != nullptr) {
    DrawAndPresent(session);
  }
  session.CloseTimedPhase(kPhasePresent);
  if (session.timing.on != 0) {
    gFrameTime = timeGetTime();
    session.timing.EndFrame(gFrameTime, session.frameStart);
  }
  session.frameStart = gFrameTime;

  if (const std::optional<std::uint32_t> rate = session.frameRate.CountFrame(gFrameTime)) {
    arena::ByteWriter payload;
    payload.U32(*rate);
    session.netSocket.Post(kNetworkAddress, MSG_FRAME_RATE,
                           static_cast<std::uint32_t>(payload.size()), payload.bytes().data());
  }
  // A lightning flash that outlived the lightning step gives the light back once the frame is
  // shown (then the view-reset hook, which does nothing). Otherwise the own tank's
  // ProcessMessages runs a second time here.
  if (!session.atmosphere.EndLightningFlash(gFrameTime) && session.ownTank != nullptr) {
    session.ownTank->ProcessMessages();
  }
  session.CloseTimedPhase(kPhaseReport);
  if (session.timing.on != 0) {
    session.timing.StampLoop(gFrameTime);
  }
}

// A frame of the parameter editor: the palette step, the editor's drawing, the atmosphere's
// light step, then the frame start and loop stamps. No 3D view and no present.
// A frame of a full-screen screen: the palette reloaded when it changed, the screen's own frame
// (it presents itself), the atmosphere without its view, and the timing stamps.
void RunScreenFrame(CGameSession& session, const std::function<void()>& screenFrame) {
  if (session.palettes.PaletteDirty()) {
    r3xSetDevicePalette(gRenderDevice, session.palettes.Current());
    r3xSetDevicePalette(gRenderDevice, session.palettes.Current());
    session.palettes.ClearPaletteDirty();
  }
  screenFrame();
  session.atmosphere.UpdateAtmosphere(gFrameTime, /*infraRed=*/false);
  if (session.timing.on != 0) {
    gFrameTime = timeGetTime();
    session.frameStart = gFrameTime;
    session.timing.StampLoop(gFrameTime);
  }
}

}  // namespace

void CGameSession::CloseTimedPhase(PhaseEntry entry) {
  if (timing.on != 0) {
    gFrameTime = timeGetTime();
    timing.ClosePhase(entry, gFrameTime);
  }
}

void CGameSession::Tick() {
  if (quitFlag != 0) {
    return;
  }
  gFrameTime = timeGetTime();
  if (timing.on != 0) {
    timing.BeginTick(gFrameTime);
  }
  // The world's animation clock runs on the C runtime's clock, not on the frame time.
  if (gWorld != nullptr) {
    r3xSetWorldTime(gWorld, static_cast<std::uint32_t>(platform::CrtClock()));
  }
  if (networkNoticeTime == 0 && netSocket.IsConnected() == 0) {
    networkNoticeTime = gFrameTime + kNetworkNoticeTime;
    // With the cockpit: when the own tank exists, its text box shows "\aa" followed
    // by " \n           You are experiencing Network problems.\n          The Kelvane Server
    // may be down.\n                      Please hit ALT Q to exit." (ShowTextBox).
  }
  if (ownTank != nullptr) {
    // The poll reads the host's keyboard; without a host there is nothing to read.
    if (PlayerInputTank input = ownTank->InputPollView(); input.keyboard != nullptr) {
      PollPlayerInput(input, ownTank->InputPollState());
    }
  }
  DispatchMessages();
  if (quitFlag != 0) {
    return;
  }
  UpdateObjects(*this);
  // The own tank's full-screen screens run instead of the render path.
  if (ownTank != nullptr && ownTank->designScreenOpen != 0) {
    RunScreenFrame(*this, [this] {
      if (designScreen != nullptr) {
        designScreen->Run();
      }
    });
    return;
  }
  if (ownTank != nullptr && ownTank->paramEditorOpen != 0) {
    RunScreenFrame(*this, [this] {
      if (paramEditor != nullptr) {
        paramEditor->Draw();
      }
    });
    return;
  }
  RenderFrame(*this);
}
