// SoundCode: the 32-bit word that names a sound request.
//   bits 0-7   sound index, a row of the sound table; 0xFF with SOUND_LOOP stops the owner's loop
//   bits 8-27  loop frequency in Hz (below 100 stops the loop)
//   bit 28     SOUND_POSITIONAL: volume and pan follow the distance and bearing
//   bit 29     SOUND_LOOP: a loop owned by an object id
//   bit 30     SOUND_QUIET: the loop plays 10 dB quieter
#pragma once

#include <cstdint>

inline constexpr std::uint32_t SOUND_POSITIONAL = 0x10000000;
inline constexpr std::uint32_t SOUND_LOOP = 0x20000000;
inline constexpr std::uint32_t SOUND_QUIET = 0x40000000;

inline constexpr std::uint32_t kSoundIndexMask = 0xFF;
inline constexpr std::uint32_t kSoundStopIndex = 0xFF;
inline constexpr int kSoundFrequencyShift = 8;
inline constexpr std::uint32_t kSoundFrequencyMask = 0xFFFFF;

// A loop code for a frequency in Hz (masked to 20 bits).
constexpr std::uint32_t LoopCode(std::uint32_t index, std::uint32_t frequency) {
  return SOUND_LOOP | ((frequency & kSoundFrequencyMask) << kSoundFrequencyShift) | index;
}
