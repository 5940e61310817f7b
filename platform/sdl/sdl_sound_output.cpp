#include "platform/sdl/sdl_sound_output.h"

#include <SDL.h>

#include <utility>

namespace platform {
namespace {

class SdlSoundOutput : public SoundOutput {
 public:
  explicit SdlSoundOutput(std::shared_ptr<SoundMixer> mixer) : mixer_(std::move(mixer)) {}
  ~SdlSoundOutput() override {
    if (device_ != 0) {
      SDL_CloseAudioDevice(device_);
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
  }

  bool Open() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(kMixRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kMixChannels;
    wanted.samples = 512;
    wanted.callback = &SdlSoundOutput::Pull;
    wanted.userdata = this;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device_ == 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

 private:
  static void Pull(void* self, Uint8* stream, int length) {
    SoundMixer& mixer = *static_cast<SdlSoundOutput*>(self)->mixer_;
    std::lock_guard<std::mutex> lock(mixer.mutex());
    mixer.Mix(reinterpret_cast<std::int16_t*>(stream),
              static_cast<std::size_t>(length) / (2 * kMixChannels));
  }

  std::shared_ptr<SoundMixer> mixer_;
  SDL_AudioDeviceID device_ = 0;
};

}  // namespace

std::unique_ptr<SoundOutput> OpenSdlSoundOutput(std::shared_ptr<SoundMixer> mixer) {
  auto output = std::make_unique<SdlSoundOutput>(std::move(mixer));
  if (!output->Open()) {
    return nullptr;
  }
  return output;
}

}  // namespace platform
