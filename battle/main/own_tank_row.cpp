#include "battle/main/own_tank_row.h"

#include <optional>

#include "battle/arena/player_tank.h"
#include "battle/core/log.h"
#include "battle/main/game_session.h"
#include "battle/main/host_link.h"
#include "battle/main/session_view.h"
#include "battle/screens/design_screen.h"
#include "battle/screens/param_editor.h"
#include "battle/ui/hud_text.h"
#include "common/messages.h"
#include "host/interface/host_record.h"

namespace {

// The editor's view: the 3D view without the cockpit on a 640 x 480 screen, then the editor on
// the table. No table, or an editor that cannot be made, leaves the view changed and no editor.
bool OpenParamEditor(CParam* table, std::uint32_t rowCount) {
  if (gHostRecord != nullptr) {
    gHostRecord->viewFlags &= ~kViewFlagCockpit;
    gHostRecord->screenWidth = kScreenWidth;
    gHostRecord->screenHeight = kScreenHeight;
  }
  gGameSession.RebuildView();
  if (table == nullptr) {
    return false;
  }
  if (gGameSession.paramEditor == nullptr) {
    gGameSession.paramEditor = CParamEditor::Create();
  }
  if (gGameSession.paramEditor == nullptr) {
    return false;
  }
  gGameSession.paramEditor->SetTable(table, rowCount);
  gGameSession.paramEditor->Render();
  return true;
}

// The own tank's commands that belong to the session.
void SessionCommand(std::uint32_t command, std::uint32_t value) {
  switch (command) {
    case 0x1049:
      gGameSession.ToggleTiming();
      break;
    case 0x1053:
      gGameSession.SetRenderQuality(static_cast<std::int32_t>(value));
      break;
    case 0x107B:
      gGameSession.ToggleCockpit();
      break;
    case 0x1082:
      gGameSession.CaptureScreen();
      break;
    default:
      break;
  }
}

void CloseParamEditor() { gGameSession.paramEditor.reset(); }

void CloseDesignScreen() { gGameSession.CloseDesignScreen(); }

// The vehicle the design screen shows: its chassis, and each bay's catalogue record with the
// record's module kind and sub kind (empty bays stay null).
bool ReadDesignLoadout(LoadoutConfig& out) {
  const CDesignScreen* screen = gGameSession.designScreen.get();
  if (screen == nullptr) {
    return false;
  }
  LoadoutConfig config;
  config.chassis = static_cast<std::uint32_t>(screen->GetChassis());
  for (std::size_t bay = 0; bay < kLoadoutBays; ++bay) {
    const std::uint32_t slot = screen->GetLoadout()[bay];
    if (slot == 0 || slot >= kModuleCatalogue.size() || !kModuleCatalogue[slot].Filled()) {
      continue;
    }
    const ModuleEntry& entry = kModuleCatalogue[slot];
    config.bays[bay] = {&entry, entry.kind, entry.weapon};
  }
  out = config;
  return true;
}

void RebuildView() { gGameSession.RebuildView(); }

}  // namespace

void CreateOwnTankRow(CGameSession& session, std::span<const std::uint8_t> payload) {
  DeleteOwnTankRow(session);
  const std::optional<TankCreateRecord> record = ParseTankCreateRecord(payload);
  if (!record || record->chassis >= kTankChassisCount || record->team >= kTankTeamCount) {
    LogPrintf(0, "player tank record of %zu bytes refused", payload.size());
    return;
  }
  PlayerTankSession view;
  view.host = gHostRecord;
  view.viewAngle = &session.view.viewAngle;
  view.farDistance = &session.view.farDistance;
  view.aspect = session.view.aspect;
  view.nearDistance = gNearDistance;
  view.stateReportInterval = &session.globalParams.stateReportInterval;
  view.openParamEditor = OpenParamEditor;
  view.sessionCommand = SessionCommand;
  view.noDrawUntil = &session.noDrawUntil;
  view.translateDesignKey = CDesignScreen::TranslateKey;
  view.closeParamEditor = CloseParamEditor;
  view.closeDesignScreen = CloseDesignScreen;
  view.readLoadout = ReadDesignLoadout;
  view.rebuildView = RebuildView;
  auto* tank = new CPlayerTank(*record, view);
  if (!tank->Works()) {
    // The original kept a tank that could not work; the frames run without one instead.
    LogPrintf(0, "player tank 0x%08X could not be built", record->id);
    delete tank;
    return;
  }
  session.ownTank = tank;
  const HostRecord host = gHostRecord != nullptr ? *gHostRecord : HostRecord{};
  CreateHudFont(14);
  BuildOwnCockpit(session.cockpit, host);
  CMailbox::PostAnonymous(kPlayerInputAddress, MSG_COCKPIT_REFRESH, 0, nullptr);
  session.inPlay = 1;
}

void UpdateOwnTankRow(CGameSession& session) {
  if (session.ownTank != nullptr) {
    session.ownTank->Update();
  }
}

void ProcessOwnTankMessagesRow(CGameSession& session) {
  if (session.ownTank != nullptr) {
    session.ownTank->ProcessMessages();
  }
}

void BuildOwnCockpit(CCockpit& cockpit, const HostRecord& host) {
  cockpit.Build(ChooseCockpitLayout(host.screenWidth, host.viewFlags), host.screenWidth,
                host.screenHeight, kCockpitArchive);
  cockpit.Invalidate();
}

void DeleteOwnTankRow(CGameSession& session) {
  session.paramEditor.reset();
  session.cockpit.Free();
  DeleteHudFont();
  delete session.ownTank;
  session.ownTank = nullptr;
}
