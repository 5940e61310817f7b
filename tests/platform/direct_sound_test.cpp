#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/dsound.h"
#include "platform/dsound/sound_faults.h"
#include "platform/kernel/clock.h"
#include "platform/window/messages.h"
#include "tests/support/scoped_window_system.h"

namespace {

constexpr DWORD kAllControls =
    DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;

class DirectSound : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = test_support::CreateShownWindow("sound_test_wc", DefWindowProcA);
    ASSERT_EQ(DirectSoundCreate(nullptr, &device_, nullptr), DS_OK);
    ASSERT_EQ(device_->SetCooperativeLevel(window_, DSSCL_EXCLUSIVE), DS_OK);
  }
  void TearDown() override {
    for (IDirectSoundBuffer* buffer : buffers_) {
      buffer->Release();
    }
    if (device_ != nullptr) {
      device_->Release();
    }
  }

  // A mono buffer of these samples at `rate`, owned by the fixture.
  IDirectSoundBuffer* MakeBuffer(const std::vector<std::int16_t>& samples, DWORD rate,
                                 DWORD flags = kAllControls) {
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
    const DSBUFFERDESC desc{sizeof(DSBUFFERDESC), flags, static_cast<DWORD>(samples.size() * 2), 0,
                            &format};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(device_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    if (buffer == nullptr) {
      return nullptr;
    }
    buffers_.push_back(buffer);
    Fill(buffer, samples);
    return buffer;
  }

  static void Fill(IDirectSoundBuffer* buffer, const std::vector<std::int16_t>& samples) {
    void* first = nullptr;
    DWORD firstBytes = 0;
    void* second = nullptr;
    DWORD secondBytes = 0;
    ASSERT_EQ(buffer->Lock(0, static_cast<DWORD>(samples.size() * 2), &first, &firstBytes, &second,
                           &secondBytes, 0),
              DS_OK);
    ASSERT_EQ(firstBytes, samples.size() * 2);
    std::memcpy(first, samples.data(), firstBytes);
    EXPECT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);
  }

  static DWORD StatusOf(IDirectSoundBuffer* buffer) {
    DWORD status = 0xFFFF;
    EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
    return status;
  }

  platform::VirtualClock clock_;
  platform::ScopedProcessClock useClock_{clock_};
  test_support::ScopedWindowSystem windows_;
  HWND window_ = nullptr;
  IDirectSound* device_ = nullptr;
  std::vector<IDirectSoundBuffer*> buffers_;
};

// The level of a sample after an attenuation in hundredths of a decibel.
double Attenuated(double sample, LONG hundredths) {
  return sample * std::pow(10.0, hundredths / 2000.0);
}

TEST_F(DirectSound, TwoBuffersMixAtTheirVolumesAndPans) {
  IDirectSoundBuffer* left = MakeBuffer(std::vector<std::int16_t>(4410, 8000), 22050);
  IDirectSoundBuffer* both = MakeBuffer(std::vector<std::int16_t>(4410, 4000), 22050);
  ASSERT_EQ(left->SetPan(DSBPAN_LEFT), DS_OK);
  ASSERT_EQ(left->SetVolume(-300), DS_OK);
  ASSERT_EQ(both->SetVolume(-602), DS_OK);
  ASSERT_EQ(both->SetPan(400), DS_OK);
  ASSERT_EQ(left->Play(0, 0, 0), DS_OK);
  ASSERT_EQ(both->Play(0, 0, 0), DS_OK);
  platform::TakeSoundOutput();

  clock_.Advance(100);
  const std::vector<std::int16_t> out = platform::TakeSoundOutput();
  ASSERT_EQ(out.size(), 2u * 2205);
  const double expectedLeft = Attenuated(8000, -300) + Attenuated(4000, -602 - 400);
  const double expectedRight = Attenuated(4000, -602);
  for (std::size_t i = 0; i < out.size(); i += 2) {
    ASSERT_NEAR(out[i], expectedLeft, 2.0) << i;
    ASSERT_NEAR(out[i + 1], expectedRight, 2.0) << i;
  }
}

TEST_F(DirectSound, ALoopLoopsSampleExactAndAOneShotEndsInSilence) {
  std::vector<std::int16_t> ramp(100);
  for (std::size_t i = 0; i < ramp.size(); ++i) {
    ramp[i] = static_cast<std::int16_t>(i * 100 - 5000);
  }
  IDirectSoundBuffer* loop = MakeBuffer(ramp, 22050);
  ASSERT_EQ(loop->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_EQ(StatusOf(loop), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  clock_.Advance(100);
  std::vector<std::int16_t> out = platform::TakeSoundOutput();
  ASSERT_EQ(out.size(), 2u * 2205);
  for (std::size_t frame = 0; frame < out.size() / 2; ++frame) {
    ASSERT_EQ(out[2 * frame], ramp[frame % ramp.size()]) << frame;
    ASSERT_EQ(out[2 * frame + 1], ramp[frame % ramp.size()]) << frame;
  }
  DWORD play = 0;
  ASSERT_EQ(loop->GetCurrentPosition(&play, nullptr), DS_OK);
  EXPECT_EQ(play, (2205 % 100) * 2u);
  ASSERT_EQ(loop->Stop(), DS_OK);
  EXPECT_EQ(StatusOf(loop), 0u);

  // At half the mixing rate each sample lasts two frames, the second halfway to the next sample.
  IDirectSoundBuffer* once = MakeBuffer(ramp, 11025);
  ASSERT_EQ(once->Play(0, 0, 0), DS_OK);
  EXPECT_EQ(StatusOf(once), DSBSTATUS_PLAYING);
  clock_.Advance(10);
  out = platform::TakeSoundOutput();
  ASSERT_EQ(out.size(), 2u * 220);
  for (std::size_t frame = 0; frame < 199; ++frame) {
    const int expected = (ramp[frame / 2] + ramp[(frame + 1) / 2]) / 2;
    ASSERT_EQ(out[2 * frame], expected) << frame;
  }
  EXPECT_EQ(out[2 * 199], ramp[99] / 2);  // fading into the silence after the end
  for (std::size_t frame = 200; frame < 220; ++frame) {
    ASSERT_EQ(out[2 * frame], 0) << frame;
  }
  EXPECT_EQ(StatusOf(once), 0u);
  ASSERT_EQ(once->GetCurrentPosition(&play, nullptr), DS_OK);
  EXPECT_EQ(play, 0u);
}

TEST_F(DirectSound, AFullScaleLoopAtAnotherRateIsInterpolatedBetweenItsSamples) {
  // Two samples a whole scale apart at a tenth of the mixing rate: the output climbs from one to
  // the other over ten frames and falls back over the next ten, the loop's end leading into its
  // start.
  const std::vector<std::int16_t> extremes = {-32768, 32767};
  IDirectSoundBuffer* loop = MakeBuffer(extremes, 2205);
  ASSERT_EQ(loop->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  clock_.Advance(10);
  const std::vector<std::int16_t> out = platform::TakeSoundOutput();
  ASSERT_EQ(out.size(), 2u * 220);
  for (std::size_t frame = 0; frame < out.size() / 2; ++frame) {
    const double position = std::fmod(frame / 10.0, 2.0);
    const double from = position < 1.0 ? extremes[0] : extremes[1];
    const double to = position < 1.0 ? extremes[1] : extremes[0];
    const double expected = from + (to - from) * (position - std::floor(position));
    ASSERT_NEAR(out[2 * frame], expected, 2.0) << frame;
    ASSERT_EQ(out[2 * frame + 1], out[2 * frame]) << frame;
  }
}

TEST_F(DirectSound, ThePlayPositionFollowsTheClockAndTheFrequency) {
  IDirectSoundBuffer* buffer = MakeBuffer(std::vector<std::int16_t>(11025, 1), 11025);
  ASSERT_EQ(buffer->SetCurrentPosition(1000), DS_OK);
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  clock_.Advance(100);
  DWORD play = 0;
  DWORD write = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  // 2205 frames at half the mixing rate: 1102 whole samples of 2 bytes.
  EXPECT_EQ(play, 1000u + 2u * 1102u);
  ASSERT_EQ(buffer->SetFrequency(22050), DS_OK);
  clock_.Advance(100);
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 1000u + 2u * 1102u + 2u * 2205u);
  EXPECT_EQ(buffer->SetCurrentPosition(22050), DSERR_INVALIDPARAM);
}

TEST_F(DirectSound, APositionInAPartialLastFrameIsTheEnd) {
  // Whole frames of 1000 (and 2000 on the right), then a partial frame of 0x55 bytes.
  const struct {
    WORD channels;
    std::vector<std::uint8_t> bytes;
    bool looping;
    std::vector<std::int16_t> loop;  // the frames that repeat, interleaved left, right
  } cases[] = {
      {1, {0xE8, 0x03, 0xD0, 0x07, 0x55}, false, {}},
      {1, {0xE8, 0x03, 0xD0, 0x07, 0x55}, true, {1000, 1000, 2000, 2000}},
      {2, {0xE8, 0x03, 0xD0, 0x07, 0x55, 0x55}, false, {}},
      {2, {0xE8, 0x03, 0xD0, 0x07, 0x55, 0x55}, true, {1000, 2000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " channels, looping " << c.looping);
    const WAVEFORMATEX format{WAVE_FORMAT_PCM,
                              c.channels,
                              22050,
                              22050u * 2 * c.channels,
                              static_cast<WORD>(2 * c.channels),
                              16,
                              0};
    const DSBUFFERDESC desc{sizeof(DSBUFFERDESC), kAllControls, static_cast<DWORD>(c.bytes.size()),
                            0, &format};
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(device_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    buffers_.push_back(buffer);
    void* first = nullptr;
    DWORD firstBytes = 0;
    ASSERT_EQ(buffer->Lock(0, static_cast<DWORD>(c.bytes.size()), &first, &firstBytes, nullptr,
                           nullptr, 0),
              DS_OK);
    std::memcpy(first, c.bytes.data(), firstBytes);
    ASSERT_EQ(buffer->Unlock(first, firstBytes, nullptr, 0), DS_OK);
    ASSERT_EQ(buffer->SetCurrentPosition(4), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, c.looping ? DSBPLAY_LOOPING : 0), DS_OK);
    platform::TakeSoundOutput();
    clock_.Advance(1);
    const std::vector<std::int16_t> out = platform::TakeSoundOutput();
    ASSERT_EQ(out.size(), 2u * 22);
    for (std::size_t i = 0; i < out.size(); ++i) {
      ASSERT_EQ(out[i], c.looping ? c.loop[i % c.loop.size()] : 0) << i;
    }
    EXPECT_EQ(StatusOf(buffer), c.looping ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0u);
    ASSERT_EQ(buffer->Stop(), DS_OK);
  }
}

TEST_F(DirectSound, ControlsRefuseWhatTheInterfaceRefuses) {
  IDirectSoundBuffer* buffer = MakeBuffer(std::vector<std::int16_t>(100, 0), 11025);
  const struct {
    DWORD frequency;
    HRESULT result;
  } frequencies[] = {{100, DS_OK},
                     {100000, DS_OK},
                     {DSBFREQUENCY_ORIGINAL, DS_OK},
                     {99, DSERR_INVALIDPARAM},
                     {100001, DSERR_INVALIDPARAM},
                     {1048575, DSERR_INVALIDPARAM}};
  for (const auto& c : frequencies) {
    EXPECT_EQ(buffer->SetFrequency(c.frequency), c.result) << c.frequency;
  }
  EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Play(0, 0, 0x100), DSERR_INVALIDPARAM);

  IDirectSoundBuffer* bare = MakeBuffer(std::vector<std::int16_t>(100, 0), 11025, DSBCAPS_STATIC);
  EXPECT_EQ(bare->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(bare->SetVolume(0), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(bare->SetPan(0), DSERR_CONTROLUNAVAIL);

  const WAVEFORMATEX eightBit{WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
  const DSBUFFERDESC desc{sizeof(DSBUFFERDESC), kAllControls, 100, 0, &eightBit};
  IDirectSoundBuffer* refused = nullptr;
  EXPECT_EQ(device_->CreateSoundBuffer(&desc, &refused, nullptr), DSERR_BADFORMAT);
  EXPECT_EQ(refused, nullptr);
}

TEST_F(DirectSound, PrimaryBufferTakesTheOutputFormatAndPlaysLooping) {
  const DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(device_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  buffers_.push_back(primary);
  IDirectSoundBuffer* second = nullptr;
  EXPECT_EQ(device_->CreateSoundBuffer(&desc, &second, nullptr), DSERR_ALLOCATED);
  const WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
  EXPECT_EQ(primary->SetFormat(&format), DS_OK);
  EXPECT_EQ(primary->Play(0, 0, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_EQ(StatusOf(primary), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  IDirectSoundBuffer* duplicate = nullptr;
  EXPECT_EQ(device_->DuplicateSoundBuffer(primary, &duplicate), DSERR_INVALIDCALL);

  // Outliving its device, it still answers and can be released.
  EXPECT_EQ(device_->Release(), 0u);
  device_ = nullptr;
  EXPECT_EQ(primary->SetFormat(&format), DSERR_INVALIDCALL);
  EXPECT_EQ(StatusOf(primary), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
}

TEST_F(DirectSound, DuplicatesShareTheSamplesAndLiveOnTheirOwnCounts) {
  IDirectSoundBuffer* original = MakeBuffer(std::vector<std::int16_t>(2205, 0), 22050);
  IDirectSoundBuffer* duplicate = nullptr;
  ASSERT_EQ(device_->DuplicateSoundBuffer(original, &duplicate), DS_OK);
  Fill(original, std::vector<std::int16_t>(2205, 1234));
  ASSERT_EQ(duplicate->Play(0, 0, 0), DS_OK);
  EXPECT_EQ(StatusOf(original), 0u);
  clock_.Advance(10);
  const std::vector<std::int16_t> out = platform::TakeSoundOutput();
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.back(), 1234);

  EXPECT_EQ(duplicate->AddRef(), 2u);
  EXPECT_EQ(duplicate->Release(), 1u);
  EXPECT_EQ(duplicate->Release(), 0u);
  EXPECT_EQ(StatusOf(original), 0u);
}

TEST_F(DirectSound, ALostBufferRefusesUntilRestoredAndIsSilentUntilRefilled) {
  IDirectSoundBuffer* buffer = MakeBuffer(std::vector<std::int16_t>(2205, 500), 22050);
  IDirectSoundBuffer* duplicate = nullptr;
  ASSERT_EQ(device_->DuplicateSoundBuffer(buffer, &duplicate), DS_OK);
  buffers_.push_back(duplicate);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  platform::LoseSoundBuffer(buffer);
  EXPECT_EQ(StatusOf(buffer), DSBSTATUS_BUFFERLOST);
  EXPECT_EQ(StatusOf(duplicate), DSBSTATUS_BUFFERLOST);
  EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(duplicate->Play(0, 0, 0), DSERR_BUFFERLOST);
  void* first = nullptr;
  DWORD firstBytes = 0;
  EXPECT_EQ(buffer->Lock(0, 2, &first, &firstBytes, nullptr, nullptr, 0), DSERR_BUFFERLOST);

  {
    platform::DirectSoundFaults faults;
    faults.restore = E_FAIL;
    platform::ScopedDirectSoundFaults failing(faults);
    EXPECT_EQ(buffer->Restore(), E_FAIL);
  }
  ASSERT_EQ(buffer->Restore(), DS_OK);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  platform::TakeSoundOutput();
  clock_.Advance(10);
  std::vector<std::int16_t> out = platform::TakeSoundOutput();
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.back(), 0);
  Fill(buffer, std::vector<std::int16_t>(2205, 500));
  clock_.Advance(10);
  out = platform::TakeSoundOutput();
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.back(), 500);
}

TEST_F(DirectSound, APlayingBufferWrittenThroughLockPlaysTheNewSamplesFromUnlockOn) {
  IDirectSoundBuffer* buffer = MakeBuffer(std::vector<std::int16_t>(100, 1000), 22050);
  ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  platform::TakeSoundOutput();
  // Two regions: from sample 75 to the end, then the first 25 samples.
  void* first = nullptr;
  DWORD firstBytes = 0;
  void* second = nullptr;
  DWORD secondBytes = 0;
  ASSERT_EQ(buffer->Lock(150, 100, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
  ASSERT_EQ(firstBytes, 50u);
  ASSERT_EQ(secondBytes, 50u);
  const std::vector<std::int16_t> loud(25, 2000);
  std::memcpy(first, loud.data(), firstBytes);
  std::memcpy(second, loud.data(), secondBytes);
  clock_.Advance(10);
  std::vector<std::int16_t> out = platform::TakeSoundOutput();
  ASSERT_FALSE(out.empty());
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::int16_t s) { return s == 1000; }));

  // Written back as far as the caller says it wrote: 10 samples of the second region.
  ASSERT_EQ(buffer->Unlock(first, firstBytes, second, 20), DS_OK);
  EXPECT_EQ(buffer->Unlock(first, firstBytes, second, 20), DSERR_INVALIDPARAM);
  ASSERT_EQ(buffer->SetCurrentPosition(0), DS_OK);
  clock_.Advance(100 * 1000 / 22050 + 1);
  out = platform::TakeSoundOutput();
  ASSERT_GE(out.size(), 2u * 100);
  for (std::size_t frame = 0; frame < 100; ++frame) {
    ASSERT_EQ(out[2 * frame], frame < 10 || frame >= 75 ? 2000 : 1000) << frame;
  }
}

// The null sink's thread mixes while the main thread writes the samples that it plays. Run it
// under valgrind's drd, which reports a write that the mixer's reads are not ordered with.
TEST_F(DirectSound, ABufferIsRewrittenWhileTheMixerThreadPlaysIt) {
  IDirectSoundBuffer* buffer = MakeBuffer(std::vector<std::int16_t>(2205, 100), 22050);
  IDirectSoundBuffer* duplicate = nullptr;
  ASSERT_EQ(device_->DuplicateSoundBuffer(buffer, &duplicate), DS_OK);
  buffers_.push_back(duplicate);
  ASSERT_EQ(duplicate->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  platform::TakeSoundOutput();
  std::vector<std::int16_t> heard;
  for (std::int16_t value = 200; value <= 2000; value += 200) {
    void* first = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(buffer->Lock(0, 2 * 2205, &first, &bytes, nullptr, nullptr, 0), DS_OK);
    // Frames fall due while the samples are written, and the thread mixes them.
    clock_.Advance(3);
    const std::vector<std::int16_t> samples(2205, value);
    std::memcpy(first, samples.data(), bytes);
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    ASSERT_EQ(buffer->Unlock(first, bytes, nullptr, 0), DS_OK);
    const std::vector<std::int16_t> out = platform::TakeSoundOutput();
    heard.insert(heard.end(), out.begin(), out.end());
  }
  ASSERT_FALSE(heard.empty());
  // Every frame holds one whole value that was written, and the values only rise.
  for (std::size_t i = 0; i < heard.size(); ++i) {
    ASSERT_EQ(heard[i] % 100, 0) << i;
    ASSERT_GE(heard[i], i < 2 ? 100 : heard[i - 2]) << i;
  }
}

TEST_F(DirectSound, BuffersReleasedAfterTheirDeviceLetTheMixerGoLast) {
  // Valgrind's memcheck sees the last release unlock the mixer that it frees.
  IDirectSoundBuffer* buffer = MakeBuffer(std::vector<std::int16_t>(100, 300), 22050);
  IDirectSoundBuffer* duplicate = nullptr;
  ASSERT_EQ(device_->DuplicateSoundBuffer(buffer, &duplicate), DS_OK);
  ASSERT_EQ(duplicate->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_EQ(device_->Release(), 0u);
  device_ = nullptr;
  EXPECT_EQ(StatusOf(duplicate), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  EXPECT_EQ(duplicate->Release(), 0u);
  EXPECT_EQ(StatusOf(buffer), 0u);
}

TEST_F(DirectSound, OneDeviceAtATime) {
  IDirectSound* second = nullptr;
  EXPECT_EQ(DirectSoundCreate(nullptr, &second, nullptr), DSERR_ALLOCATED);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(device_->Release(), 0u);
  device_ = nullptr;
  ASSERT_EQ(DirectSoundCreate(nullptr, &second, nullptr), DS_OK);
  EXPECT_EQ(second->SetCooperativeLevel(nullptr, DSSCL_EXCLUSIVE), DSERR_INVALIDPARAM);
  device_ = second;
}

}  // namespace
