// The software mixer behind DirectSound: every playing buffer is resampled, scaled by its volume
// and pan and summed into 22050 Hz stereo 16-bit frames.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/kernel/types.h"

namespace platform {

inline constexpr DWORD kMixRate = 22050;
inline constexpr int kMixChannels = 2;

// A buffer's samples, shared by the buffer and its duplicates. A lost memory holds silence until
// it is restored and refilled.
struct SoundMemory {
  std::vector<std::uint8_t> bytes;
  bool lost = false;
};

// One buffer as the mixer sees it: 16-bit PCM of one or two channels.
struct SoundVoice {
  std::shared_ptr<SoundMemory> memory;
  int channels = 1;
  DWORD formatRate = 0;
  DWORD frequency = 0;
  bool playing = false;
  bool looping = false;
  // Play position in frames, 32.32 fixed point.
  std::uint64_t position = 0;
  LONG volume = 0;
  LONG pan = 0;
  // Channel gains, 1.0 = 1 << 15.
  std::int32_t gainLeft = 1 << 15;
  std::int32_t gainRight = 1 << 15;

  std::size_t FrameCount() const { return memory->bytes.size() / (2 * channels); }
};

// The gains of a volume and pan in hundredths of a decibel; -10000 or less is silence.
void SetVoiceLevel(SoundVoice& voice, LONG volume, LONG pan);

class SoundMixer {
 public:
  // A clock-driven mixer mixes, whenever it is asked to catch up, the frames that the process
  // clock says are due since it was made, into a capture that tests read; a device-driven one
  // mixes only what the audio device pulls.
  explicit SoundMixer(bool clockDriven);

  // Every call below expects the caller to hold this.
  std::mutex& mutex() { return mutex_; }

  void Add(SoundVoice* voice);
  void Remove(SoundVoice* voice);
  // Mixes `frames` stereo frames into `out` (interleaved left, right) and advances the voices.
  void Mix(std::int16_t* out, std::size_t frames);
  // Clock-driven: mixes up to the process clock's now. A device-driven mixer does nothing.
  void CatchUp();
  // Catches up, then hands over the frames mixed since the last take: at least the last
  // kCaptureFrames of them.
  std::vector<std::int16_t> TakeCapture();

  static constexpr std::size_t kCaptureFrames = 10 * kMixRate;

 private:
  std::mutex mutex_;
  const bool clockDriven_;
  DWORD startMilliseconds_ = 0;
  std::uint64_t mixedFrames_ = 0;
  std::vector<SoundVoice*> voices_;
  std::vector<std::int32_t> sum_;
  std::vector<std::int16_t> capture_;
};

}  // namespace platform
