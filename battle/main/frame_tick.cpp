// One frame of the game: the frame time, the server's messages, the objects' updates, then the
// 3D view with the cockpit and the present, the sync-ping answer and the frame-rate report.
#include "base/byte_writer.h"
#include "battle/arena/arena_world.h"
#include "battle/main/game_session.h"
#include "common/messages.h"
#include "platform/kernel/clock.h"

namespace {

// How long after the connection is found lost the notice counts as shown.
constexpr std::uint32_t kNetworkNoticeTime = 6000;
constexpr std::uint32_t kHeavyAtmosphereFrame = 20;

}  // namespace

void CGameSession::Tick() {
  if (quitFlag != 0) {
    return;
  }
  gFrameTime = timeGetTime();
  if (timing.on != 0) {
    timing.BeginTick(gFrameTime);
  }
  // The world's animation clock runs on the process clock's milliseconds.
  if (gWorld != nullptr) {
    r3xSetWorldTime(gWorld, gFrameTime);
  }
  if (networkNoticeTime == 0 && netSocket.IsConnected() == 0) {
    networkNoticeTime = gFrameTime + kNetworkNoticeTime;
    // Shown with the player's tank: when the own tank exists, its text box shows "\aa" followed
    // by " \n           You are experiencing Network problems.\n          The Kelvane Server
    // may be down.\n                      Please hit ALT Q to exit." (ShowTextBox).
  }
  // With the player's tank: PollPlayerInput when the own tank exists.
  DispatchMessages();
  if (quitFlag != 0) {
    return;
  }
  // With the arena objects, each kind's update over its list, in this order: towers, recon guns,
  // missiles, bullets (only in play), mines, recon drones, flags, flares, smoke, explosions, then
  // the own tank's Update, UpdateAllTanks and the own tank's ProcessMessages; in play each group
  // closes its timing entry (kPhaseTowers to kPhaseOwnMessages). With the own tank too: its
  // design-screen and parameter-editor flags run those screens here instead of the 3D view.

  if (syncPingPending != 0) {
    Post(kNetworkAddress, MSG_SYNC_PING, 0, nullptr);
    syncPingPending = 0;
  }
  // Every 20th frame is the atmosphere's heavier one, which does the same work as the others.
  if (++atmosphereCounter >= kHeavyAtmosphereFrame) {
    atmosphereCounter = 0;
  }
  // With the player's tank: its infra-red view holds the ambient light at full.
  atmosphere.UpdateAtmosphere(gFrameTime, /*infraRed=*/false);
  if (timing.on != 0) {
    gFrameTime = timeGetTime();
    timing.ClosePhase(kPhaseAtmosphere, gFrameTime);
  }
  frameStart = gFrameTime;
  if (const std::optional<std::uint32_t> rate = frameRate.CountFrame(gFrameTime)) {
    arena::ByteWriter payload;
    payload.U32(*rate);
    netSocket.Post(kNetworkAddress, MSG_FRAME_RATE, static_cast<std::uint32_t>(payload.size()),
                   payload.bytes().data());
  }
  // A lightning flash that outlived the lightning step gives the light back once the frame is
  // shown (then the view-reset hook, which does nothing).
  atmosphere.EndLightningFlash(gFrameTime);
  if (timing.on != 0) {
    gFrameTime = timeGetTime();
    timing.ClosePhase(kPhaseReport, gFrameTime);
    timing.StampLoop(gFrameTime);
  }
}
