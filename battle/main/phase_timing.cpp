#include "battle/main/phase_timing.h"

#include <algorithm>

void PhaseTiming::BeginTick(std::uint32_t now) {
  current[kPhaseLoop] = now - current[kPhaseLoop];
  phaseStart = now;
}

void PhaseTiming::ClosePhase(PhaseEntry entry, std::uint32_t now) {
  current[entry] = now - phaseStart;
  phaseStart = now;
}

void PhaseTiming::EndFrame(std::uint32_t now, std::uint32_t frameStart) {
  current[kPhaseFrame] = now - frameStart;
  last = current;
  ++frameCount;
  for (std::size_t i = 0; i < kTimedPhases; ++i) {
    sum[i] += last[i];
    largest[i] = std::max(largest[i], last[i]);
  }
}
