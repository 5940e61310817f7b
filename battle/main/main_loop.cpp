#include "battle/main/main_loop.h"

#include "battle/main/game_session.h"
#include "platform/window/messages.h"

void RunMainLoop(CGameSession& session) {
  while (session.quitFlag == 0) {
    MSG message{};
    if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (GetMessageA(&message, nullptr, 0, 0) == 0) {
        return;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    session.Tick();
  }
}
