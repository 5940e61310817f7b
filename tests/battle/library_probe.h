// The second export of the test build of the game library, "battle_probe.dll": a few facts that
// tell a freshly loaded library from one that has run a game. "battle.dll" has no such export.
#pragma once

#include <cstdint>

struct LibraryProbe {
  // A hash over every value word of both parameter tables.
  std::uint32_t paramTablesHash;
  std::uint32_t sessionQuitFlag;
  // Bytes of the last system report.
  std::uint32_t systemInfoLength;
};

inline constexpr char kLibraryProbeName[] = "dll_probe";

using LibraryProbeEntry = void (*)(LibraryProbe* probe);
