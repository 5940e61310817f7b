#include "platform/dsound/sound_mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/kernel/clock.h"

namespace platform {

namespace {

constexpr LONG kSilence = -10000;

std::int32_t GainOf(LONG hundredthsOfDecibel) {
  if (hundredthsOfDecibel <= kSilence) {
    return 0;
  }
  return static_cast<std::int32_t>(
      std::lround(std::pow(10.0, hundredthsOfDecibel / 2000.0) * (1 << 15)));
}

// The buffer's native 16-bit sample memory.
std::int16_t SampleAt(const std::uint8_t* bytes, std::size_t index) {
  std::int16_t sample;
  std::memcpy(&sample, bytes + 2 * index, 2);
  return sample;
}

// Adds one voice into the sums; stops it at the end of a one-shot.
void MixVoice(SoundVoice& voice, std::int32_t* sum, std::size_t frames) {
  const std::size_t count = voice.FrameCount();
  if (count == 0 || voice.memory->lost) {
    voice.playing = false;
    voice.position = 0;
    return;
  }
  const std::uint8_t* bytes = voice.memory->bytes.data();
  const int channels = voice.channels;
  const std::uint64_t step = (std::uint64_t{voice.frequency} << 32) / kMixRate;
  const std::uint64_t end = std::uint64_t{count} << 32;
  // A position set inside a partial last frame lies at the end: no sample is read there.
  if (voice.position >= end) {
    if (!voice.looping) {
      voice.playing = false;
      voice.position = 0;
      return;
    }
    voice.position %= end;
  }
  const std::int64_t gainLeft = voice.gainLeft;
  const std::int64_t gainRight = voice.gainRight;
  std::uint64_t position = voice.position;
  for (std::size_t i = 0; i < frames; ++i) {
    const std::size_t index = position >> 32;
    const std::int32_t fraction = static_cast<std::int32_t>((position >> 16) & 0xFFFF);
    // The frame after this one: the loop's start, or silence after a one-shot.
    const std::size_t next = index + 1 < count ? index + 1 : count;
    const bool wraps = next == count;
    for (int c = 0; c < channels; ++c) {
      const std::int32_t here = SampleAt(bytes, index * channels + c);
      const std::int32_t after =
          wraps ? (voice.looping ? SampleAt(bytes, c) : 0) : SampleAt(bytes, next * channels + c);
      const std::int64_t value = here + ((std::int64_t{after - here} * fraction) >> 16);
      if (channels == 1) {
        sum[2 * i] += static_cast<std::int32_t>((value * gainLeft) >> 15);
        sum[2 * i + 1] += static_cast<std::int32_t>((value * gainRight) >> 15);
      } else {
        sum[2 * i + c] +=
            static_cast<std::int32_t>((value * (c == 0 ? gainLeft : gainRight)) >> 15);
      }
    }
    position += step;
    if (position >= end) {
      if (!voice.looping) {
        voice.playing = false;
        voice.position = 0;
        return;
      }
      position %= end;
    }
  }
  voice.position = position;
}

}  // namespace

void SetVoiceLevel(SoundVoice& voice, LONG volume, LONG pan) {
  voice.volume = volume;
  voice.pan = pan;
  voice.gainLeft = GainOf(volume - std::max<LONG>(0, pan));
  voice.gainRight = GainOf(volume - std::max<LONG>(0, -pan));
}

SoundMixer::SoundMixer(bool clockDriven) : clockDriven_(clockDriven) {
  startMilliseconds_ = timeGetTime();
}

void SoundMixer::Add(SoundVoice* voice) { voices_.push_back(voice); }

void SoundMixer::Remove(SoundVoice* voice) { std::erase(voices_, voice); }

void SoundMixer::Mix(std::int16_t* out, std::size_t frames) {
  sum_.assign(frames * kMixChannels, 0);
  for (SoundVoice* voice : voices_) {
    if (voice->playing) {
      MixVoice(*voice, sum_.data(), frames);
    }
  }
  for (std::size_t i = 0; i < sum_.size(); ++i) {
    out[i] = static_cast<std::int16_t>(std::clamp(sum_[i], -32768, 32767));
  }
}

void SoundMixer::CatchUp() {
  if (!clockDriven_) {
    return;
  }
  const DWORD elapsed = timeGetTime() - startMilliseconds_;
  const std::uint64_t due = std::uint64_t{elapsed} * kMixRate / 1000;
  if (due <= mixedFrames_) {
    return;
  }
  // A long pause mixes no more than the capture keeps; the voices then resume from where they were.
  const std::size_t frames =
      static_cast<std::size_t>(std::min<std::uint64_t>(due - mixedFrames_, kCaptureFrames));
  mixedFrames_ = due;
  const std::size_t at = capture_.size();
  capture_.resize(at + frames * kMixChannels);
  Mix(capture_.data() + at, frames);
  // Unread output is dropped in large steps, not frame by frame.
  const std::size_t keep = kCaptureFrames * kMixChannels;
  if (capture_.size() > 2 * keep) {
    capture_.erase(capture_.begin(), capture_.end() - static_cast<std::ptrdiff_t>(keep));
  }
}

std::vector<std::int16_t> SoundMixer::TakeCapture() {
  CatchUp();
  return std::exchange(capture_, {});
}

}  // namespace platform
