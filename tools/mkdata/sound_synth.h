// Synthesises the sounds of "sound.dll" from their descriptions in the sound list.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/sound_list.h"

namespace mkdata {

// The entry's samples at its rate and length, the same on every run. Loops repeat without a
// seam; every other sound starts and ends at 0. Peaks reach kSoundPeak.
std::vector<std::int16_t> SynthesiseSound(const sound::SoundListEntry& entry);

inline constexpr int kSoundPeak = 26000;

}  // namespace mkdata
