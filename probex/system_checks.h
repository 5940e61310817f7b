// The checks that run when the dialog opens. Each writes its text box and icon and sets its bits
// in the problem word.
#pragma once

#include "platform/kernel/types.h"
#include "platform/window/handles.h"

// The first of 33, 40, 50, 66, 90, 100, 120, 133, 150, 166 and 200 within 5 MHz of the clock,
// or the clock itself.
int NormalizeMhz(int mhz);

void CheckOsVersion(HWND dialog);
void CheckDiskSpace(HWND dialog);
void CheckMemory(HWND dialog);
// The operating system, disk and memory checks, then the processor check.
void RunSystemChecks(HWND dialog);
// One DirectX library: missing or older than version 4 sets the bit.
void CheckDllVersion(HWND dialog, int textBox, const char* name, int iconControl, DWORD bit);
void CheckDirectX(HWND dialog);
void CheckWinsock(HWND dialog);
