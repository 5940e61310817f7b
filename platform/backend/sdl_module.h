// The SDL2 window and audio live in a module of their own ("platform_sdl.so", beside the
// platform library), loaded the first time the SDL2 display is asked for: headless runs, the
// tests and the demo never map SDL2 and the many libraries it brings.
#pragma once

#include <memory>
#include <string>

#include "platform/backend/display_backend.h"
#include "platform/dsound/sound_output.h"

namespace platform {

// What the module hands the platform library.
struct SdlModuleExports {
  // Null, with the reason in whyNot, when no display can be opened.
  std::unique_ptr<DisplayBackend> (*createBackend)(std::string& whyNot);
  // Null when no audio device opens.
  std::unique_ptr<SoundOutput> (*openSoundOutput)(std::shared_ptr<SoundMixer> mixer);
};

// The module's exports, loading it on first use; null, with the reason in whyNot, when this
// build has no SDL2 module or it does not load. The module stays loaded to the process's end.
const SdlModuleExports* LoadSdlModule(std::string& whyNot);

}  // namespace platform

// The one symbol the module exports.
extern "C" const platform::SdlModuleExports* ArenaSdlModuleExports();
