#include "battle/main/dll_main.h"

#include "battle/arena/arena_view.h"
#include "battle/core/log.h"
#include "battle/core/system_info.h"
#include "battle/effects/sound.h"
#include "battle/main/game_session.h"
#include "battle/main/game_window_proc.h"
#include "battle/main/host_link.h"
#include "battle/main/login.h"
#include "battle/main/main_loop.h"
#include "common/messages.h"
#include "engine/r3x_display.h"
#include "host/interface/host_record.h"
#include "platform/window/cursor.h"
#include "platform/window/window.h"

namespace {

// Logs in, reports the machine, starts the world and runs the game; returns early on a failed
// login or world start.
void PlayGame(HostRecord* host, const SystemFacts& facts) {
  if (LoginToServer(&host->login) != 0) {
    return;
  }
  ResetSystemInfo();
  AppendSystemFacts(facts);
  gGameSession.netSocket.Post(kNetworkAddress, MSG_SYSTEM_INFO, SystemInfoBuffer.length,
                              SystemInfoBuffer.data.data());
  if (gGameSession.StartWorld(&host->login, host->directDraw, host->primarySurface) != 0) {
    return;
  }
  // Load the palette into the device, then attach the device palette to its surfaces.
  r3xSetDevicePalette(gRenderDevice, gGameSession.palettes.Current());
  r3xSetDevicePalette(gRenderDevice, nullptr);
  RunMainLoop(gGameSession);
}

}  // namespace

extern "C" int dll_main(HMODULE /*module*/, HostRecord* host) {
  gHostRecord = host;
  gGameWindow = host->window;
  const LONG_PTR hostWindowProc =
      SetWindowLongA(gGameWindow, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&GameWindowProc));
  OpenLog("arena.log");
  const SystemFacts facts = GatherSystemFacts();
  SetCursor(nullptr);
  gSound = new CSound(gGameWindow, 1);
  host->login.window = gGameWindow;

  PlayGame(host, facts);

  gGameSession.StopWorld();
  CloseLog();
  delete gSound;
  gSound = nullptr;
  // The host unloads the library as soon as this returns: no message may reach its procedure.
  SetWindowLongA(gGameWindow, GWL_WNDPROC, hostWindowProc);
  return 1;
}
