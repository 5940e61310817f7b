// Where the mixer's frames go: the SDL2 audio device, which pulls them, or a null sink whose
// thread mixes them as the process clock advances into the capture that tests read.
#pragma once

#include <memory>

#include "platform/dsound/sound_mixer.h"

namespace platform {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
};

struct OpenedSoundOutput {
  std::shared_ptr<SoundMixer> mixer;
  std::unique_ptr<SoundOutput> output;
};

// The SDL2 audio device when the SDL2 display is asked for (ARENA_DISPLAY=sdl) and one opens at
// 22050 Hz stereo 16-bit; else the null sink.
OpenedSoundOutput OpenSoundOutput();

}  // namespace platform
