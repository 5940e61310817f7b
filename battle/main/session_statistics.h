// The statistics file "barf.txt" that the session writes when the library unloads: the network
// client's traffic counters and error text, and the phase-timing sums and maxima.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "battle/main/game_session.h"
#include "common/socket/net_socket.h"

struct SessionStatistics {
  std::string_view networkError;
  // Since the network client was made: wall seconds and processor seconds.
  std::int64_t seconds = 0;
  double processorSeconds = 0.0;
  NetCounters counters;
  PhaseTable phaseSums{};
  PhaseTable phaseMaxima{};
  std::uint32_t frameCount = 0;
  std::uint32_t averagePumpInterval = 0;
  std::uint32_t longestPumpGap = 0;
};

// The file's text. An average over nothing (no send, no timed frame) prints 0.
std::string StatisticsText(const SessionStatistics& statistics);
// Gathers the session's statistics now.
SessionStatistics GatherStatistics(const CGameSession& session);
// Writes the text to the named file, created anew; nothing when it cannot be created.
void WriteStatisticsFile(const char* fileName, const std::string& text);
