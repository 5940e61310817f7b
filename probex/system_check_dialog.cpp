#include "probex/system_check_dialog.h"

#include <cstdio>

#include "platform/dialog/dialog.h"
#include "platform/dialog/dialog_resources.h"
#include "platform/window/window_class.h"
#include "probex/probex_state.h"
#include "probex/problem_report.h"
#include "probex/resource_ids.h"
#include "probex/server_ping.h"
#include "probex/system_checks.h"

namespace {

void OpenDialog(HWND dialog) {
  ProbexState& state = Probex();
  state.dialog = dialog;
  state.passIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(kPassIcon));
  state.problemIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(kProblemIcon));
  state.programIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(kProgramIcon));
  ReadServerName(dialog);
  RunSystemChecks(dialog);
  CheckDirectX(dialog);
  CheckWinsock(dialog);
  WriteProblemReport(dialog);
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state.programIcon));
  SendMessageA(dialog, DM_SETDEFID, kPingButton, 0);
}

}  // namespace

void ReadServerName(HWND dialog) {
  std::FILE* file = std::fopen("ip.dat", "r");
  if (file == nullptr) {
    SetDlgItemTextA(dialog, kServerNameText, kDefaultServerName);
    return;
  }
  // Bounded to the field, and the file is closed at once: the original kept it open for good.
  char name[kServerNameSize] = {};
  if (std::fscanf(file, "%19s", name) != 1) {
    name[0] = '\0';
  }
  std::fclose(file);
  SetDlgItemTextA(dialog, kServerNameText, name);
}

std::intptr_t SystemCheckDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      OpenDialog(dialog);
      // The dialog manager sets the focus.
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kIdOk:
        case kIdCancel:
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
        case kPingButton:
          StartPing(dialog);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_QUERYDRAGICON:
      return reinterpret_cast<std::intptr_t>(Probex().programIcon);
    case WM_DESTROY: {
      // The pass and problem icons are handles here as well, and go with the program's icon.
      ProbexState& state = Probex();
      for (HICON icon : {state.programIcon, state.passIcon, state.problemIcon}) {
        DestroyIcon(icon);
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

int WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(kSystemCheckDialog), nullptr, &SystemCheckDlgProc, 0);
  // A ping still running reports into a dialog that is gone; it ends within its time-outs.
  WaitForPing();
  return 0;
}
