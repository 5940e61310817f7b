// The game library's entry: the host program calls dll_main once per game, on its own thread,
// and unloads the library as soon as it returns.
#pragma once

#include "platform/kernel/module.h"
#include "platform/window/handles.h"

struct HostRecord;

// Runs one whole game in the host's window: log in, report the machine, start the world, run the
// frames, stop. Always returns 1: the host runs its front end next. The host's window procedure
// is back in place when it returns, so nothing of this library is reached through the window
// once it is unloaded.
extern "C" int dll_main(HMODULE module, HostRecord* host);
