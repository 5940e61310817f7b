// What the dialog's thread and the ping worker share. The flags and the problem word are atomic:
// the worker writes them while the dialog reads them at a click.
#pragma once

#include <atomic>

#include "platform/kernel/types.h"
#include "platform/window/handles.h"

struct ProbexState {
  HWND dialog = nullptr;
  HICON passIcon = nullptr;
  HICON problemIcon = nullptr;
  HICON programIcon = nullptr;
  std::atomic<DWORD> problemWord{0};
  std::atomic<bool> pingRunning{false};
  // The last echo timed out; the echoes of this ping that timed out.
  std::atomic<bool> timedOut{false};
  std::atomic<int> timeOutCount{0};
  // The worker of the last ping, waited for before the next one starts and at the end.
  HANDLE pingThread = nullptr;
};

ProbexState& Probex();
// Sets bits of the problem word.
void SetProblem(DWORD bits);
// Shows the pass or the problem icon in an icon control.
void ShowResultIcon(HWND dialog, int iconControl, bool pass);
