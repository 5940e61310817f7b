#include "platform/backend/sdl_module.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_sound_output.h"

extern "C" __attribute__((visibility("default"))) const platform::SdlModuleExports*
ArenaSdlModuleExports() {
  static const platform::SdlModuleExports exports{&platform::CreateSdlBackend,
                                                  &platform::OpenSdlSoundOutput};
  return &exports;
}
