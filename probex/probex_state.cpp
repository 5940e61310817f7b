#include "probex/probex_state.h"

#include "platform/dialog/dialog.h"

ProbexState& Probex() {
  static ProbexState state;
  return state;
}

void SetProblem(DWORD bits) { Probex().problemWord.fetch_or(bits); }

void ShowResultIcon(HWND dialog, int iconControl, bool pass) {
  HICON icon = pass ? Probex().passIcon : Probex().problemIcon;
  SendDlgItemMessageA(dialog, iconControl, STM_SETIMAGE, IMAGE_ICON,
                      reinterpret_cast<LPARAM>(icon));
}
