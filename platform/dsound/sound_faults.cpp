#include "platform/dsound/sound_faults.h"

namespace platform {

namespace {
DirectSoundFaults gFaults;
}  // namespace

const DirectSoundFaults& GetDirectSoundFaults() { return gFaults; }

ScopedDirectSoundFaults::ScopedDirectSoundFaults(const DirectSoundFaults& faults)
    : previous_(gFaults) {
  gFaults = faults;
}

ScopedDirectSoundFaults::~ScopedDirectSoundFaults() { gFaults = previous_; }

}  // namespace platform
