// The SDL2 audio device as the mixer's output: it pulls the mixed frames from its own thread.
#pragma once

#include <memory>

#include "platform/dsound/sound_output.h"

namespace platform {

// Null when no audio device opens at 22050 Hz stereo 16-bit.
std::unique_ptr<SoundOutput> OpenSdlSoundOutput(std::shared_ptr<SoundMixer> mixer);

}  // namespace platform
