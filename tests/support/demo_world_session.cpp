#include "tests/support/demo_world_session.h"

#include <cstdio>
#include <filesystem>

#include "battle/main/game_session.h"
#include "battle/main/host_link.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/window/messages.h"
#include "tests/support/host_display.h"

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
  started_ = OpenHostDisplay(window_, host_.directDraw, host_.primarySurface) &&
             gGameSession.StartWorld(&host_.login, host_.directDraw, host_.primarySurface) == 0;
}

DemoWorldSession::~DemoWorldSession() {
  gGameSession.StopWorld();
  gGameSession.quitFlag = 0;
  gFrameTime = 0;
  gHostRecord = nullptr;
  ReleaseHostDisplay(host_.directDraw, host_.primarySurface);
  platform::ResetDisplayMode();
}

}  // namespace test_support
