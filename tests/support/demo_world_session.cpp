#include "tests/support/demo_world_session.h"

#include <cstdio>
#include <filesystem>

#include "battle/main/game_session.h"
#include "battle/main/host_link.h"
#include "platform/ddraw.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/window/messages.h"

namespace test_support {

DemoWorldSession::DemoWorldSession() {
  namespace fs = std::filesystem;
  platform::ResetDisplayMode();
  window_ = CreateShownWindow("demo_world_wc", DefWindowProcA);
  for (const char* file : {ARENA_DEMO_PACK, ARENA_DEMO_MAP, ARENA_DEMO_EQUIP, ARENA_DEMO_LOADING}) {
    fs::copy_file(file, folder_.Path() / fs::path(file).filename());
  }
  host_.window = window_;
  host_.login.window = window_;
  std::snprintf(host_.login.worldPackName, sizeof(host_.login.worldPackName), "arena.r3x");
  std::snprintf(host_.login.worldFileName, sizeof(host_.login.worldFileName), "arenapc.wld");
  gHostRecord = &host_;
  started_ = OpenHostDisplay() &&
             gGameSession.StartWorld(&host_.login, host_.directDraw, host_.primarySurface) == 0;
}

DemoWorldSession::~DemoWorldSession() {
  gGameSession.StopWorld();
  gGameSession.quitFlag = 0;
  gFrameTime = 0;
  gHostRecord = nullptr;
  if (host_.primarySurface != nullptr) {
    host_.primarySurface->Release();
  }
  if (host_.directDraw != nullptr) {
    host_.directDraw->Release();
  }
  platform::ResetDisplayMode();
}

// Exclusive full screen at 640 x 480 x 8 with a flipping primary surface, as the host makes it.
bool DemoWorldSession::OpenHostDisplay() {
  if (DirectDrawCreate(nullptr, &host_.directDraw, nullptr) != DD_OK ||
      host_.directDraw->SetCooperativeLevel(window_, 0x53) != DD_OK ||
      host_.directDraw->SetDisplayMode(640, 480, 8) != DD_OK) {
    return false;
  }
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps =
      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_SYSTEMMEMORY;
  return host_.directDraw->CreateSurface(&desc, &host_.primarySurface, nullptr) == DD_OK;
}

}  // namespace test_support
