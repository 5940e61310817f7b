// Phase timing: while it is on, the frame tick measures how many milliseconds each phase of a
// frame takes. The cockpit shows the last complete frame's times; "barf.txt" gets the sums and
// maxima over every timed frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The entries of the timing tables.
enum PhaseEntry : std::size_t {
  kPhaseFrame = 0,         // the whole frame, from the previous frame's end to the present
  kPhaseLoop = 1,          // between two ticks: the message loop
  kPhaseDispatch = 2,      // frame time, world clock, notice, input poll and message dispatch
  kPhaseTowers = 3,        // defense towers
  kPhaseReconGuns = 4,     // recon guns
  kPhaseMissiles = 5,      // missiles
  kPhaseSmallObjects = 6,  // bullets, mines, recon drones, flags and flares
  kPhaseSmoke = 7,         // smoke
  kPhaseExplosions = 8,    // explosions
  kPhaseOwnTank = 9,       // the own tank's update
  kPhaseTanks = 10,        // the other tanks
  kPhaseOwnMessages = 11,  // the own tank's messages
  kPhaseAtmosphere = 12,   // sync-ping answer and atmosphere
  kPhaseView = 13,         // the 3D view
  kPhaseViewEnd = 14,      // the after-view hook or the image clear
  kPhaseCockpit = 15,      // the cockpit
  kPhaseStatistics = 16,   // the render statistics
  kPhasePresent = 17,      // palette and present
  kPhaseReport = 18,       // frame-rate report and the lightning end or the second message pass
  kPhasePolygons = 20,     // a count: the polygons the render context drew
  kPhaseRegions = 21,      // a count: the regions it drew
};

// Entries 0 to kTimedPhases - 1 hold times and are summed; the others are not.
inline constexpr std::size_t kTimedPhases = 20;
inline constexpr std::size_t kPhaseEntries = 50;

using PhaseTable = std::array<std::uint32_t, kPhaseEntries>;

struct PhaseTiming {
  // At the start of a timed tick: entry 1, which holds the previous tick's end stamp, becomes
  // the time spent in between, and the dispatch phase starts.
  void BeginTick(std::uint32_t now);
  // Ends the phase in progress as `entry` and starts the next one.
  void ClosePhase(PhaseEntry entry, std::uint32_t now);
  // Keeps a count (not a time) in `entry`.
  void SetCount(PhaseEntry entry, std::uint32_t count) { current[entry] = count; }
  // The stamp entry 1 measures the next tick from.
  void StampLoop(std::uint32_t now) { current[kPhaseLoop] = now; }
  // After the present: the whole frame since `frameStart`, the frame's table kept as the last
  // complete one, and the timed entries added to the sums and maxima; one more frame counted.
  void EndFrame(std::uint32_t now, std::uint32_t frameStart);

  std::uint32_t on = 0;  // while set the tick measures its phases
  PhaseTable last{};     // the last complete frame
  PhaseTable largest{};  // each phase's largest time
  PhaseTable sum{};      // each phase's sum
  PhaseTable current{};  // the frame in progress
  std::uint32_t phaseStart = 0;
  // Frames measured since the world start, counted only while phase timing is on.
  std::uint32_t frameCount = 0;
};
