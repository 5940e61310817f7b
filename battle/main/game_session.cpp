#include "battle/main/game_session.h"

#include "battle/main/error_report.h"
#include "battle/main/log.h"
#include "common/messages.h"
#include "engine/r3x.h"
#include "platform/kernel/clock.h"

namespace {

// The world start's step that loads the packs and world files, named in its report.
constexpr int kLoadEquipAndWorldStep = 13;
// How long the stop gives the network client to send what the game posted before it.
constexpr DWORD kSendBacklogWait = 2000;

// Waits until the network client has taken every queued message, at most kSendBacklogWait ms
// and only while connected. A message taken is sent in the same pump, and closing waits for the
// pump: what the game posted last (the system report, the quit) reaches the server.
void LetNetworkClientSend(CNetSocket& net) {
  const DWORD start = timeGetTime();
  while (net.IsConnected() && net.Count() != 0 && timeGetTime() - start < kSendBacklogWait) {
    Sleep(1);
  }
}

}  // namespace

CGameSession gGameSession;

R3xRenderDevice* gRenderDevice = nullptr;
R3xCamera* gCamera = nullptr;
R3xRenderContext* gRenderContext = nullptr;
R3xPalette* gCurrentPalette = nullptr;
std::uint32_t gPaletteReselect = 0;

CGameSession::CGameSession()
    : netSocket(CNetSocket::kStreamSocket, CNetSocket::kKeepAlive, /*threaded=*/1) {
  SetAddress(KIND_SESSION);
  netSocket.SetAddress(kNetworkAddress);
  // The network client writes its socket set-up into the game's log.
  CNetSocket::SetLogFunction(LogPrintf);
  // The engine lives as long as the library; nothing reports a failed start.
  r3xInit();
  // Placeholders until the arena simulation, the input poll and the atmosphere are built, in
  // this order here: the shared collision mover (gMover = new CMover when null),
  // DetectJoystick(), the random seed srand(gFrameTime) (0 at load), the first frame-rate report
  // at 30000 ms, gSphereVolume02 (an engine sphere volume of radius 0.2), and the day clock's
  // time stamp gFrameTime with its factor 1.0.
}

CGameSession::~CGameSession() {
  // Placeholder until the arena simulation and the input poll are built: gMover is destroyed
  // and gSphereVolume02 freed here, before the engine goes.
  // The world stop closes the render device keeping the host's objects; its record, palette
  // and clipper go with the library.
  r3xDestroyRenderDevice(&gRenderDevice, R3X_DEVICE_FREE | R3X_DEVICE_KEEP);
  r3xShutdown();
  // Placeholders until the input poll and the session's statistics are built: DisableJoystick(),
  // then "barf.txt" written from the network client's counters and error text and the phase
  // timing sums, before the network client and the mailbox go with the members.
}

bool CGameSession::ApplyGlobalParams(std::span<const std::uint8_t> payload) {
  if (!::ApplyGlobalParams(globalParams, payload)) {
    return false;
  }
  atmosphere.ApplyGlobalParams(globalParams);
  return true;
}

int CGameSession::StartWorld(const LoginBlock* /*block*/, IDirectDraw* /*directDraw*/,
                             IDirectDrawSurface* /*primarySurface*/) {
  quitFlag = 0;
  // Placeholder until the world start is built (arena map, engine world, render context and
  // camera, render device, Glide, LoadEquipAndWorld, palettes, design screen, object pools): it
  // fails the way a failed LoadEquipAndWorld does.
  PostErrorReport(KIND_ERROR_SINK, "WORLD", kLoadEquipAndWorldStep, "Start World Failed");
  return 1;
}

void CGameSession::StopWorld() {
  quitFlag = 1;
  // Placeholder: the teardown of what the world start builds (objects, screens, render device
  // and Glide, packs, world and arena map, handing the primary surface back) joins here with it.
  LetNetworkClientSend(netSocket);
  netSocket.Close();
}
