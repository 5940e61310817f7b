// The frame-rate report: every 30 s of frame time the game tells the server how many frames it
// rendered per 100 s since the last report.
#pragma once

#include <cstdint>
#include <optional>

inline constexpr std::uint32_t kFrameRateReportInterval = 30000;  // ms

struct FrameRateReport {
  // Counts one rendered frame at frame time `frameTime`. When a report is due, gives the rate,
  // frames x 100000 / ms since the last report (32-bit unsigned, as the server reads it), reads
  // the clock for the next period and schedules the next report 30 s after `frameTime`. A report
  // due when no time has passed since the last one waits for the next frame: there is no rate.
  std::optional<std::uint32_t> CountFrame(std::uint32_t frameTime);

  // The first report is due at the first rendered frame once the clock reads 30000. The clock
  // counts from the system's start, so that is normally the game's first frame.
  std::uint32_t nextReport = kFrameRateReportInterval;
  std::uint32_t lastReport = 0;  // clock time of the last report
  std::uint32_t frames = 0;      // rendered since the last report
};
