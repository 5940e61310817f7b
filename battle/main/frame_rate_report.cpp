#include "battle/main/frame_rate_report.h"

#include "platform/kernel/clock.h"

std::optional<std::uint32_t> FrameRateReport::CountFrame(std::uint32_t frameTime) {
  ++frames;
  if (nextReport > frameTime) {
    return std::nullopt;
  }
  const std::uint32_t elapsed = timeGetTime() - lastReport;
  if (elapsed == 0) {
    return std::nullopt;
  }
  const std::uint32_t rate = frames * 100000u / elapsed;
  nextReport = frameTime + kFrameRateReportInterval;
  frames = 0;
  lastReport = timeGetTime();
  return rate;
}
