#include "platform/dsound/sound_output.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/backend/sdl_module.h"

namespace platform {

namespace {

// Every use of a buffer first mixes what the process clock says is due, so the thread only keeps
// the mixing within the capture's reach while nothing uses the buffers: once a second, far inside
// the ten seconds the capture keeps, rather than waking the process a hundred times a second.
constexpr auto kCatchUpPeriod = std::chrono::seconds(1);

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
    while (!wake_.wait_for(lock, kCatchUpPeriod, [this] { return stop_; })) {
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

bool SdlDisplayAsked() {
  const char* display = std::getenv("ARENA_DISPLAY");
  return display != nullptr && std::strcmp(display, "sdl") == 0;
}

}  // namespace

OpenedSoundOutput OpenSoundOutput() {
  std::string whyNot;
  const SdlModuleExports* module = SdlDisplayAsked() ? LoadSdlModule(whyNot) : nullptr;
  if (module != nullptr) {
    auto mixer = std::make_shared<SoundMixer>(false);
    if (std::unique_ptr<SoundOutput> output = module->openSoundOutput(mixer)) {
      return {mixer, std::move(output)};
    }
  }
  auto mixer = std::make_shared<SoundMixer>(true);
  return {mixer, std::make_unique<NullSoundOutput>(mixer)};
}

}  // namespace platform
