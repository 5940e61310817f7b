// The "Ping Server" button: a worker sends ten ICMP echoes to the server named in the server-name
// box, shows the running average after each, then judges the result, sets the ping's problem
// bits and writes the report again.
#pragma once

#include "platform/kernel/module.h"
#include "platform/kernel/types.h"
#include "platform/window/handles.h"

inline constexpr int kPingEchoes = 10;
inline constexpr DWORD kPingTimeoutMs = 2000;
inline constexpr int kSlowestAveragePingMs = 300;
inline constexpr int kMostTimeOuts = 5;

// The click: starts a ping unless one is running or the Windows Sockets check failed.
void StartPing(HWND dialog);
// The worker; its parameter is the ping's own copy of the server text, which it frees.
DWORD PingThreadProc(LPVOID serverText);
// One echo through the ping's ICMP library: the round trip in milliseconds, or -1.
int PingServerOnce(HWND dialog, HMODULE icmp, const char* serverText);
// Waits for the last ping's worker to end (the dialog has closed).
void WaitForPing();
