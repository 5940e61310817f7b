// How the host enters a library: its export "dll_main", called once per load with the library's
// own module handle and the host record, returns the host result code that picks the next step.
#pragma once

#include "host/interface/host_record.h"
#include "platform/kernel/module.h"

inline constexpr int kHostQuit = 0;
inline constexpr int kHostRunFrontEnd = 1;
inline constexpr int kHostRunGame = 2;
inline constexpr int kHostInstallUpdates = 3;

inline constexpr char kLibraryEntryName[] = "dll_main";

using LibraryEntry = int (*)(HMODULE module, HostRecord* record);
