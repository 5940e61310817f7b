// The session's display-mode choice and view commands, over the host record's screen settings.
#include "battle/arena/arena_view.h"
#include "battle/main/display_modes.h"
#include "battle/main/game_session.h"
#include "battle/main/host_link.h"
#include "battle/main/own_tank_row.h"
#include "battle/main/render_quality.h"
#include "battle/main/screen_capture.h"
#include "battle/ui/hud_text.h"
#include "host/interface/host_record.h"

// Each needs the host record that dll_main was given; without one they do nothing.

void CGameSession::ChooseDisplayMode() {
  if (gHostRecord == nullptr) {
    return;
  }
  view.displayModeIndex = ::ChooseDisplayMode(gDisplayModeList, *gHostRecord);
}

void CGameSession::SetViewRect(std::int32_t full) {
  view.SetViewRect(gCamera, gDisplayModeList, full);
}

void CGameSession::RebuildView() {
  if (ownTank == nullptr || gHostRecord == nullptr) {
    return;
  }
  cockpit.Free();
  DeleteHudFont();
  view.LayOut(gCamera, *gHostRecord);
  CreateHudFont(gHostRecord->screenWidth > 320 ? 14 : 10);
  BuildOwnCockpit(cockpit, *gHostRecord);
  palettes.MarkPaletteDirty();
}

void CGameSession::ToggleCockpit() {
  if (gHostRecord == nullptr) {
    return;
  }
  gHostRecord->viewFlags ^= kViewFlagCockpit;
  RebuildView();
}

std::int32_t CGameSession::SetRenderQuality(std::int32_t preset) {
  ApplyRenderQuality(gRenderContext, preset);
  return 0;
}

// The player's screenshot command calls this from the player tank's input handling, which comes
// with the player tank (CPlayerTank::HandleInput, event 0x1082).
void CGameSession::CaptureScreen() { WriteScreenCapture(); }
