#include "battle/main/game_session.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

#include "battle/arena/arena_map.h"
#include "battle/arena/arena_neighbours.h"
#include "battle/arena/arena_particles.h"
#include "battle/arena/arena_sound.h"
#include "battle/arena/arena_tools.h"
#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/joystick.h"
#include "battle/arena/mover.h"
#include "battle/arena/overview_camera.h"
#include "battle/arena/shared_lights.h"
#include "battle/core/error_report.h"
#include "battle/core/log.h"
#include "battle/effects/sound_front_end.h"
#include "battle/main/display_modes.h"
#include "battle/main/host_link.h"
#include "battle/main/object_kinds.h"
#include "battle/main/session_statistics.h"
#include "battle/screens/design_screen.h"
#include "battle/screens/param_editor.h"
#include "common/messages.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"
#include "engine/r3x_world.h"
#include "host/interface/host_record.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/random.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"

namespace {

// How long the stop gives the network client to send what the game posted before it.
constexpr DWORD kSendBacklogWait = 2000;
constexpr float kSmallSphereRadius = 0.2f;

// The Glide screen, the camera image and the loading picture.
constexpr std::int32_t kLoadingPictureX = 160;
constexpr std::int32_t kLoadingPictureY = 120;
constexpr std::int32_t kLoadingPictureWidth = 320;
constexpr std::int32_t kLoadingPictureHeight = 240;
constexpr float kViewAngle = 85.0f;

// The render context's indirect render methods, and its output mode: colour.
constexpr std::uint32_t kIndirectMethods = 64;
constexpr std::int32_t kColourMode = 1;
// Archive member slots the game asks for.
constexpr int kPackSlots = 20;
// The world flag that keeps each 8-bit bitmap's colour table.
constexpr std::int32_t kKeepBitmapColours = 1;

constexpr const char* kModule = "WORLD";
constexpr const char* kLoadingPalette = "load.bmp";
constexpr const char* kLoadingBitmapTag = "load";
constexpr const char* kEquipPackName = "Equip.r3x";
constexpr const char* kEquipWorldName = "equip.wld";
constexpr const char* kStatisticsFile = "barf.txt";

// The report numbers name the step of the world start (or of the world load) that failed.
enum StartStep : int {
  kStepEngine = 1,
  kStepArenaMap = 2,
  kStepWorld = 4,
  kStepRenderContext = 5,
  kStepCamera = 6,
  kStepLoadWorld = 13,
  kStepPalettes = 14,
};
enum LoadStep : int {
  kStepEquipPack = 2,
  kStepWorldPack = 3,
  kStepWorldFile = 4,
  kStepSkyBitmaps = 5,
  kStepEquipWorld = 6,
};

// The height map's file: the pack name with its last four characters (the extension) replaced
// by ".amp"; a name shorter than that gets ".amp" appended.
std::string ArenaMapName(const LoginBlock& block) {
  std::string name(FieldText(block.worldPackName));
  if (name.size() >= 4) {
    name.resize(name.size() - 4);
  }
  return name + ".amp";
}

R3xBitmap* BitmapOf(R3xBitmapHandle handle) {
  return handle == nullptr ? nullptr : reinterpret_cast<R3xBitmap*>(handle->object);
}

// Waits until the network client has taken every queued message, at most kSendBacklogWait ms
// and only while connected. A message taken is sent in the same pump, and closing waits for the
// pump: what the game posted last (the system report, the quit) reaches the server.
void LetNetworkClientSend(CNetSocket& net) {
  const DWORD start = timeGetTime();
  while (net.IsConnected() && net.Count() != 0 && timeGetTime() - start < kSendBacklogWait) {
    Sleep(1);
  }
}

// The arena objects' particle bursts go to the atmosphere's pool.
void EmitBurst(const ParticleBurst& burst) {
  gGameSession.atmosphere.Particles().EmitParticleBurst(
      static_cast<ParticleKind>(burst.kind), burst.attempts, burst.position, burst.velocity,
      burst.spread, burst.maxLife, burst.red, burst.green, burst.blue);
}

}  // namespace

CGameSession gGameSession;

CGameSession::CGameSession()
    : netSocket(CNetSocket::kStreamSocket, CNetSocket::kKeepAlive, /*threaded=*/1) {
  SetAddress(KIND_SESSION);
  netSocket.SetAddress(kNetworkAddress);
  // The network client writes its socket set-up into the game's log.
  CNetSocket::SetLogFunction(LogPrintf);
  // The arena objects' sounds go through the positional front end, their particles and a tower's
  // sparks into the atmosphere's particle pool.
  gArenaSound = {PlaySoundAt, PlaySoundAtDistance};
  gArenaParticles.burst = EmitBurst;
  gArenaParticles.sparks = [](const float* top, const float* bottom) {
    gGameSession.atmosphere.Particles().EmitSparks(top, bottom);
  };
  if (r3xInit() < 0) {
    return;  // the world start reports it
  }
  engineStarted_ = true;
  if (gMover == nullptr) {
    gMover = new CMover();
    gMover->neighbourSource = CollectArenaNeighbours;
  }
  DetectJoystick();
  platform::CrtSrand(gFrameTime);
  frameRate.nextReport = gFrameTime + kFrameRateReportInterval;
  gSphereVolume02 = r3xCreateSphereVolume(kSmallSphereRadius);
}

CGameSession::~CGameSession() {
  delete gMover;
  gMover = nullptr;
  gArenaSound = {};
  r3xFreeVolumeRecord(reinterpret_cast<R3xVolume*>(gSphereVolume02));
  gSphereVolume02 = nullptr;
  gArenaParticles = {};
  // The world stop closes the render device keeping the host's objects; its record, palette
  // and clipper go with the library.
  r3xDestroyRenderDevice(&gRenderDevice, R3X_DEVICE_FREE | R3X_DEVICE_KEEP);
  r3xShutdown();
  DisableJoystick();
  WriteStatisticsFile(kStatisticsFile, StatisticsText(GatherStatistics(*this)));
}

bool CGameSession::ApplyGlobalParams(std::span<const std::uint8_t> payload) {
  if (!::ApplyGlobalParams(globalParams, payload)) {
    return false;
  }
  atmosphere.ApplyGlobalParams(globalParams);
  return true;
}

int CGameSession::Fail(int step, const char* message) {
  // No mailbox bears the error sink's address, so the post drops the report; the log keeps its
  // text, so that the player can see why the game went back to the front end.
  PostErrorReport(KIND_ERROR_SINK, kModule, step, message);
  LogPrintf(0, "%s", ErrorReportText(kModule, step, message).c_str());
  return 1;
}

int CGameSession::StartWorld(const LoginBlock* block, IDirectDraw* directDraw,
                             IDirectDrawSurface* primarySurface) {
  quitFlag = 0;
  window = block->window;
  inPlay = 0;
  view.viewAngle = kViewAngle;
  if (!engineStarted_) {
    return Fail(kStepEngine, "The 3D engine did not start.");
  }

  gArenaMap = new (std::nothrow) CArenaMap(ArenaMapName(*block));
  if (gArenaMap == nullptr) {
    return Fail(kStepArenaMap, "Not enough memory for CArenaMap");
  }
  if (!gArenaMap->IsValid()) {
    delete gArenaMap;
    gArenaMap = nullptr;
    return Fail(kStepArenaMap, "Created invalid CArenaMap");
  }
  gWorldCeiling = gArenaMap->GetMaxHeight();

  gWorld = r3xCreateWorld(window, 0, nullptr);
  if (gWorld == nullptr) {
    return Fail(kStepWorld, "pWorld did not create.");
  }

  view.cameraImageRect = ViewRect{0, 0, kScreenWidth, kScreenHeight};
  gRenderContext = CreateRenderContext(kIndirectMethods, nullptr);
  if (gRenderContext == nullptr) {
    return Fail(kStepRenderContext, "CreateRenderContext initialization failed.");
  }
  r3xSetTransparentIndex(gRenderContext, 0);
  r3xSetRenderOptionWord(gRenderContext, 0);
  r3xSetDepthBuffering(gRenderContext, 1);
  SetRenderQuality(0);

  gCamera = CreateCamera();
  if (gCamera == nullptr) {
    return Fail(kStepCamera, "CreateCamera Failed.");
  }
  if (view.GiveCameraImage(gCamera, kScreenWidth, kScreenHeight) < 0) {
    return Fail(kStepCamera, "SetCameraImageBuffer error.");
  }

  // The palette, display and Glide steps fail without a report.
  loadingPalette_ = r3xCreatePalette(gWorld, nullptr, kLoadingPalette, 0);
  if (loadingPalette_ == nullptr) {
    return 1;
  }
  palettes.ShowLoadingPalette(loadingPalette_);
  if (OpenDisplay(directDraw, primarySurface) != 0) {
    return 1;
  }

  palettes.ClearPaletteDirty();
  palettes.RequestReselect();
  SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
  SendMessageA(window, WM_QUERYNEWPALETTE, 0, 0);
  ShowLoadingPicture();
  FillDisplayModeList(gDisplayModeList, gRenderDevice->directDraw);

  if (LoadEquipAndWorld(block->worldPackName, block->worldFileName) != 0) {
    return Fail(kStepLoadWorld, "Start World Failed");
  }
  const PaletteTargets targets{gWorld, gWorldPack, gRenderContext, gRenderDevice, gFarDistance};
  if (palettes.LoadPalettes(targets) != 0) {
    return Fail(kStepPalettes, "Set pPalette failed.");
  }
  r3xCloseWad(gWorldPack);
  r3xCloseWad(gEquipPack);
  gWorldPack = nullptr;
  gEquipPack = nullptr;
  palettes.RequestReselect();
  designScreen = std::make_unique<CDesignScreen>();
  designScreen->SetPalettes(&palettes);

  view.farDistance = gFarDistance;
  if (gHostRecord != nullptr) {
    gHostRecord->screenWidth = kScreenWidth;
    gHostRecord->screenHeight = kScreenHeight;
  }
  ChooseDisplayMode();
  const bool cockpit = gHostRecord == nullptr || (gHostRecord->viewFlags & kViewFlagCockpit) != 0;
  SetViewRect(cockpit ? 0 : 1);

  gFrameTime = timeGetTime();
  noDrawUntil = gFrameTime;
  timing.frameCount = 0;
  syncPingPending = 0;
  MakeObjectPools(*this);

  SkyState& sky = atmosphere.Sky();
  sky.world = gWorld;
  sky.renderContext = gRenderContext;
  sky.camera = gCamera;
  atmosphere.Attach(gWorld, gRenderContext, gCamera);
  // A stand-in until the player's tank exists, which the original does not have: an overview of
  // the arena, so that the frames before the tank show the world. The player's tank places the
  // camera every frame from its first update on.
  PlaceOverviewCamera(gWorld, gCamera);
  return 0;
}

int CGameSession::OpenDisplay(IDirectDraw* directDraw, IDirectDrawSurface* primarySurface) {
  if (r3xCreateRenderDevice(&gRenderDevice, gCamera, /*fullScreen=*/1, /*modeX=*/1, 0,
                            loadingPalette_, window, 8, directDraw, primarySurface) != 0) {
    return 1;
  }
  // Two black frames, so that nothing of the screen before shows through the flip chain.
  const R3xDeviceColour black{};
  r3xSetDeviceColorKey(gRenderDevice, 0, &black);
  for (int i = 0; i < 2; ++i) {
    r3xClearDevice(gRenderDevice, 0, &black);
    r3xPresentDevice(gRenderDevice);
  }
  if (r3xGlideInit(&gGlideContext) != 0) {
    return 1;
  }
  if (r3xAttachRenderDevice(gRenderContext, kColourMode, gRenderDevice, loadingPalette_) != 0 ||
      r3xGlideAttach(gGlideContext, gRenderContext, loadingPalette_) != 0) {
    return 1;
  }
  return 0;
}

void CGameSession::ShowLoadingPicture() {
  R3xBitmapHandle handle = r3xLoadBitmap(gWorld, kLoadingBitmapTag, kLoadingPalette, nullptr);
  if (handle == nullptr) {
    return;
  }
  const R3xBitmap* bitmap = BitmapOf(handle);
  if (R3xGlideImage* image = r3xGlideCreateImage(gGlideContext, bitmap, 0)) {
    // The picture's upper left 320 x 240, or less of a smaller picture.
    const RECT source{0, 0, std::min(kLoadingPictureWidth, bitmap->width),
                      std::min(kLoadingPictureHeight, bitmap->height)};
    r3xGlideDrawImage(gGlideContext, image, kLoadingPictureX, kLoadingPictureY, &source);
    r3xGlidePresent(gGlideContext, 1);
    r3xGlideDrawImage(gGlideContext, image, kLoadingPictureX, kLoadingPictureY, &source);
    r3xGlideFreeImage(gGlideContext, image);
  }
  r3xDestroyBitmap(gWorld, handle);
}

int CGameSession::LoadEquipAndWorld(const char* packName, const char* worldFileName) {
  r3xSetWorldFlag(gWorld, kKeepBitmapColours);
  gEquipPack = r3xOpenWad(kEquipPackName, kPackSlots);
  if (gEquipPack == nullptr) {
    return Fail(kStepEquipPack, "I Can't Open the Equip.r3x.");
  }
  gWorldPack = r3xOpenWad(packName, kPackSlots);
  if (gWorldPack == nullptr) {
    return Fail(kStepWorldPack, "I Can't Open the World (WAD) File.");
  }
  if (r3xReadWorld(worldFileName, gWorld, gWorldPack) != 0) {
    return Fail(kStepWorldFile, "Parse Read World From File error.");
  }
  for (std::size_t i = 0; i < kSkyBitmapCount; ++i) {
    skyBitmaps[i] = r3xLoadBitmap(gWorld, kSkyBitmapNames[i], kSkyBitmapNames[i], gEquipPack);
    atmosphere.Sky().*kSkyBitmapFields[i] = BitmapOf(skyBitmaps[i]);
    if (skyBitmaps[i] == nullptr) {
      char message[64];
      std::snprintf(message, sizeof(message), "I Can't Load the Sky Bitmap %s.",
                    kSkyBitmapNames[i]);
      return Fail(kStepSkyBitmaps, message);
    }
  }
  if (r3xReadWorld(kEquipWorldName, gWorld, gEquipPack) != 0) {
    return Fail(kStepEquipWorld, "Parse Read Equip error.");
  }
  gWorldClosing = 0;
  CSharedLights::SetKeepLight(false);
  return 0;
}

bool CGameSession::DesignScreenUp() const {
  return designScreen != nullptr && designScreen->IsOpen();
}

void CGameSession::CloseDesignScreen() {
  if (designScreen != nullptr) {
    designScreen->Close();
  }
}

void CGameSession::StopWorld() {
  gWorldClosing = 1;
  quitFlag = 1;
  inPlay = 0;
  CSharedLights::SetKeepLight(true);
  TearDownObjects(*this);
  paramEditor.reset();
  designScreen.reset();
  TakeDownDisplay();
  r3xCloseWad(gEquipPack);
  r3xCloseWad(gWorldPack);
  if (gWorld != nullptr) {
    r3xDestroyWorld(gWorld);
  }
  delete gArenaMap;
  gArenaWorld = ArenaWorld{.closing = 1};
  SkyState& sky = atmosphere.Sky();
  sky.world = nullptr;
  sky.renderContext = nullptr;
  sky.camera = nullptr;
  atmosphere.Attach(nullptr, nullptr, nullptr);
  LetNetworkClientSend(netSocket);
  netSocket.Close();
}

void CGameSession::TakeDownDisplay() {
  palettes.Destroy(gWorld);
  if (gRenderContext != nullptr) {
    r3xDestroyRenderContext(gWorld, gRenderContext, 0);
  }
  const bool deviceOpen = gRenderDevice != nullptr && gRenderDevice->open != 0;
  if (deviceOpen && gCamera != nullptr && r3xGetCameraImageWidth(gCamera) != kScreenWidth) {
    // A full view in a smaller display mode: back to 640 x 480 before the host takes over.
    view.GiveCameraImage(gCamera, kScreenWidth, kScreenHeight);
    r3xResetRenderDevice(gRenderDevice, gCamera, /*fullScreen=*/1, 0);
    SetWindowPos(gRenderDevice->window, HWND_TOPMOST, 0, 0, kScreenWidth, kScreenHeight, 0);
  }
  if (deviceOpen && gHostRecord != nullptr) {
    // The device may have replaced the host's primary surface when it changed the mode.
    gHostRecord->primarySurface = gRenderDevice->primary;
  }
  if (gCamera != nullptr) {
    r3xDestroyCamera(gCamera);
  }
  if (gGlideContext != nullptr) {
    r3xGlideFreeTextures(gGlideContext);
  }
  for (std::size_t i = kSkyBitmapCount; i-- > 0;) {
    if (skyBitmaps[i] != nullptr) {
      r3xDestroyBitmap(gWorld, skyBitmaps[i]);
      skyBitmaps[i] = nullptr;
    }
    atmosphere.Sky().*kSkyBitmapFields[i] = nullptr;
  }
  if (gGlideContext != nullptr) {
    r3xGlideShutdown(gGlideContext);
  }
  if (gRenderDevice != nullptr) {
    r3xDestroyRenderDevice(&gRenderDevice, R3X_DEVICE_KEEP);
  }
  gArenaView = ArenaView{.renderDevice = gRenderDevice};
  palettes.ClearReselectPending();
  if (loadingPalette_ != nullptr) {
    r3xDestroyPalette(gWorld, loadingPalette_);
    loadingPalette_ = nullptr;
  }
}

void CGameSession::ToggleTiming() { timing.on ^= 1; }
