#include "platform/dsound/sound_output.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <thread>

#ifdef ARENA_HAVE_SDL2
#include <SDL.h>
#endif

namespace platform {

namespace {

// Mixes every 10 ms of real time what the process clock says is due.
class NullSoundOutput : public SoundOutput {
 public:
  explicit NullSoundOutput(std::shared_ptr<SoundMixer> mixer)
      : mixer_(std::move(mixer)), thread_([this] { Run(); }) {}
  ~NullSoundOutput() override {
    {
      std::lock_guard<std::mutex> lock(stopMutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(stopMutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(10), [this] { return stop_; })) {
      std::lock_guard<std::mutex> mix(mixer_->mutex());
      mixer_->CatchUp();
    }
  }

  std::shared_ptr<SoundMixer> mixer_;
  std::mutex stopMutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

#ifdef ARENA_HAVE_SDL2
bool SdlDisplayAsked() {
  const char* display = std::getenv("ARENA_DISPLAY");
  return display != nullptr && std::strcmp(display, "sdl") == 0;
}

// The audio device pulls frames from its own thread.
class SdlSoundOutput : public SoundOutput {
 public:
  static std::unique_ptr<SdlSoundOutput> Open(std::shared_ptr<SoundMixer> mixer) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      return nullptr;
    }
    std::unique_ptr<SdlSoundOutput> output(new SdlSoundOutput(std::move(mixer)));
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(kMixRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kMixChannels;
    wanted.samples = 512;
    wanted.callback = &SdlSoundOutput::Pull;
    wanted.userdata = output.get();
    output->device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (output->device_ == 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return nullptr;
    }
    SDL_PauseAudioDevice(output->device_, 0);
    return output;
  }
  ~SdlSoundOutput() override {
    if (device_ != 0) {
      SDL_CloseAudioDevice(device_);
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
  }

 private:
  explicit SdlSoundOutput(std::shared_ptr<SoundMixer> mixer) : mixer_(std::move(mixer)) {}

  static void Pull(void* self, Uint8* stream, int length) {
    SoundMixer& mixer = *static_cast<SdlSoundOutput*>(self)->mixer_;
    std::lock_guard<std::mutex> lock(mixer.mutex());
    mixer.Mix(reinterpret_cast<std::int16_t*>(stream),
              static_cast<std::size_t>(length) / (2 * kMixChannels));
  }

  std::shared_ptr<SoundMixer> mixer_;
  SDL_AudioDeviceID device_ = 0;
};
#endif

}  // namespace

OpenedSoundOutput OpenSoundOutput() {
#ifdef ARENA_HAVE_SDL2
  if (SdlDisplayAsked()) {
    auto mixer = std::make_shared<SoundMixer>(false);
    if (std::unique_ptr<SdlSoundOutput> output = SdlSoundOutput::Open(mixer)) {
      return {mixer, std::move(output)};
    }
  }
#endif
  auto mixer = std::make_shared<SoundMixer>(true);
  return {mixer, std::make_unique<NullSoundOutput>(mixer)};
}

}  // namespace platform
