#include "battle/effects/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "battle/core/sound_code.h"
#include "battle/effects/wave_resource.h"
#include "common/messages.h"
#include "platform/dsound.h"
#include "tests/battle_effects/sound_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

constexpr int kBumpHard = 14;      // attenuation 0
constexpr int kExplosion = 11;     // attenuation 100
constexpr int kLoopDefense = 0;    // attenuation 1000
constexpr int kLoopLightTank = 1;  // attenuation 0
constexpr int kLoopRain = 6;       // attenuation 500
constexpr DWORD kLoopFrequency = 11025;

using SoundTest = SoundFixture;

template <typename Sample>
bool Silent(const std::vector<Sample>& output) {
  return std::all_of(output.begin(), output.end(), [](Sample sample) { return sample == 0; });
}

// The samples of a sound as the library holds them.
std::vector<std::uint8_t> LibrarySamples(const char* name) {
  HMODULE module = LoadLibraryA("sound.dll");
  EXPECT_NE(module, nullptr);
  HRSRC resource = FindResourceA(module, name, "WAV");
  const std::span<const std::uint8_t> image(
      static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource))),
      SizeofResource(module, resource));
  const std::uint8_t* data = nullptr;
  DWORD size = 0;
  EXPECT_EQ(ParseWave(image, nullptr, &data, &size), 1) << name;
  std::vector<std::uint8_t> samples(data, data + size);
  FreeLibrary(module);
  return samples;
}

// A buffer's first `size` bytes of samples, read through Lock.
std::vector<std::uint8_t> SamplesOf(IDirectSoundBuffer* buffer, std::size_t size) {
  void* first = nullptr;
  DWORD bytes = 0;
  if (buffer->Lock(0, static_cast<DWORD>(size), &first, &bytes, nullptr, nullptr, 0) != DS_OK) {
    return {};
  }
  const auto* begin = static_cast<const std::uint8_t*>(first);
  std::vector<std::uint8_t> samples(begin, begin + bytes);
  buffer->Unlock(first, 0, nullptr, 0);
  return samples;
}

TEST_F(SoundTest, EveryRowLoadsAndOnlyValidIndexesPlay) {
  CSound& sound = Make();
  ASSERT_TRUE(sound.enabled());
  ASSERT_NE(sound.directSound(), nullptr);
  for (int index = 0; index < kSoundCount; ++index) {
    EXPECT_NE(sound.soundBuffer(index), nullptr) << index;
  }
  EXPECT_EQ(sound.Play(45, 0, 0), 1);
  EXPECT_EQ(StatusOf(sound.soundBuffer(45)), DSBSTATUS_PLAYING);
  for (std::uint32_t index = 46; index <= 254; ++index) {
    EXPECT_EQ(sound.Play(index, 0, 0), 0) << index;
    EXPECT_EQ(sound.PlayLoop(7, LoopCode(index, kLoopFrequency), 0, 0), 0) << index;
  }
  for (int slot = 0; slot < CSound::kLoopSlotCount; ++slot) {
    EXPECT_FALSE(sound.loopSlot(slot).inUse);
  }
}

TEST_F(SoundTest, OneShotVolumeAndPanFollowDistanceAndBearing) {
  CSound& sound = Make();
  const struct {
    std::uint32_t code;
    int distance;
    int bearing;
    int result;
    LONG volume;
    LONG pan;
  } cases[] = {
      {SOUND_POSITIONAL | kBumpHard, 500, 0, 1, -1920, 0},
      {SOUND_POSITIONAL | kBumpHard, 501, 0, 0, 0, 0},
      {SOUND_POSITIONAL | kBumpHard, 20, 0, 1, 0, 0},
      {SOUND_POSITIONAL | kBumpHard, 21, 0, 1, -4, 0},
      {SOUND_POSITIONAL | kBumpHard, 2, 90, 1, 0, -1000},
      {SOUND_POSITIONAL | kBumpHard, 2, 270, 1, 0, 1000},
      {SOUND_POSITIONAL | kBumpHard, 1, 90, 1, 0, 0},
      {SOUND_POSITIONAL | kBumpHard, 0, 270, 1, 0, 0},
      {SOUND_POSITIONAL | kBumpHard, 2, 30, 1, 0, -499},  // sin 30 is just under 0.5
      {SOUND_POSITIONAL | kExplosion, 100, 0, 1, -420, 0},
      {kExplosion, 600, 90, 1, -100, 0},  // not positional: full level less the attenuation
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.code << " at " << c.distance << ", " << c.bearing);
    sound.StopAll();
    IDirectSoundBuffer* own = sound.soundBuffer(c.code & 0xFF);
    ASSERT_EQ(sound.Play(c.code, c.distance, c.bearing), c.result);
    if (c.result == 0) {
      EXPECT_EQ(StatusOf(own), 0u);
      continue;
    }
    EXPECT_EQ(StatusOf(own), DSBSTATUS_PLAYING);
    EXPECT_EQ(VolumeOf(own), c.volume);
    EXPECT_EQ(PanOf(own), c.pan);
  }
}

TEST_F(SoundTest, LoopVolumePanAndFrequencyFollowTheRequest) {
  CSound& sound = Make();
  const struct {
    std::uint32_t code;
    int distance;
    int bearing;
    LONG volume;
    LONG pan;
  } cases[] = {
      {SOUND_POSITIONAL | LoopCode(kLoopLightTank, 11025), 150, 0, -2100, 0},
      {SOUND_POSITIONAL | SOUND_QUIET | LoopCode(kLoopLightTank, 11025), 150, 0, -3100, 0},
      {SOUND_POSITIONAL | LoopCode(kLoopRain, 22050), 10, 90, -500, -1000},
      {SOUND_POSITIONAL | LoopCode(kLoopLightTank, 8000), 0, 270, 0, 1000},  // pan at any distance
      {LoopCode(kLoopLightTank, 15000), 120, 90, 0, 0},                      // not positional
      {SOUND_QUIET | LoopCode(kLoopDefense, 11025), 0, 0, -2000, 0},
  };
  constexpr std::uint32_t kOwner = 0x20005;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.code << std::dec << " at " << c.distance);
    ASSERT_EQ(sound.PlayLoop(kOwner, c.code, c.distance, c.bearing), 1);
    const CSound::LoopSlot& slot = sound.loopSlot(5);  // the last free slot
    ASSERT_TRUE(slot.inUse);
    EXPECT_EQ(slot.owner, kOwner);
    EXPECT_EQ(slot.volume, c.volume);
    ASSERT_NE(slot.buffer, nullptr);
    EXPECT_EQ(StatusOf(slot.buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(VolumeOf(slot.buffer), c.volume);
    EXPECT_EQ(PanOf(slot.buffer), c.pan);
    EXPECT_EQ(FrequencyOf(slot.buffer), (c.code >> 8) & 0xFFFFF);
    EXPECT_NE(slot.buffer, sound.soundBuffer(c.code & 0xFF));
  }
}

TEST_F(SoundTest, LoopsStopBeyondRangeAtLowFrequencyAndOnTheStopIndex) {
  CSound& sound = Make();
  constexpr std::uint32_t kOwner = 0x20001;
  const std::uint32_t tank = SOUND_POSITIONAL | LoopCode(kLoopLightTank, kLoopFrequency);
  // No slot yet: a silent request takes none.
  EXPECT_EQ(sound.PlayLoop(kOwner, LoopCode(kLoopLightTank, 99), 0, 0), 0);
  EXPECT_EQ(sound.PlayLoop(kOwner, tank, 151, 0), 0);
  for (int slot = 0; slot < CSound::kLoopSlotCount; ++slot) {
    EXPECT_FALSE(sound.loopSlot(slot).inUse);
  }

  const struct {
    std::uint32_t stop;
    int distance;
  } stops[] = {
      {tank, 151},
      {LoopCode(kLoopLightTank, 99), 0},
      {LoopCode(kSoundStopIndex, 0), 0},
      {LoopCode(kSoundStopIndex, kLoopFrequency), 0},  // the stop index ignores the frequency
  };
  for (const auto& c : stops) {
    SCOPED_TRACE(testing::Message() << std::hex << c.stop);
    ASSERT_EQ(sound.PlayLoop(kOwner, tank, 50, 0), 1);
    ASSERT_NE(sound.loopSlot(5).buffer, nullptr);
    clock_.Advance(10);
    ASSERT_FALSE(Silent(platform::TakeSoundOutput()));
    EXPECT_EQ(sound.PlayLoop(kOwner, c.stop, c.distance, 0), 0);
    EXPECT_FALSE(sound.loopSlot(5).inUse);
    EXPECT_EQ(sound.loopSlot(5).buffer, nullptr);
    clock_.Advance(10);
    EXPECT_TRUE(Silent(platform::TakeSoundOutput()));
  }
}

TEST_F(SoundTest, ANewOwnerTakesOverTheLoudestSlotPlayingItsSoundOrIsRefused) {
  CSound& sound = Make();
  // Six owners fill the slots: two play the light tank loop, at -300 and -150.
  const int distances[] = {30, 20, 10, 10, 10, 10};
  const int indexes[] = {kLoopLightTank, kLoopLightTank, 2, 3, 4, 5};
  for (std::uint32_t owner = 1; owner <= 6; ++owner) {
    ASSERT_EQ(sound.PlayLoop(0x20000 + owner,
                             SOUND_POSITIONAL | LoopCode(indexes[owner - 1], kLoopFrequency),
                             distances[owner - 1], 0),
              1);
  }
  // Slots fill from the last free one backwards.
  const int louder = 4;
  ASSERT_EQ(sound.loopSlot(louder).owner, 0x20002u);
  IDirectSoundBuffer* kept = sound.loopSlot(louder).buffer;

  EXPECT_EQ(sound.PlayLoop(0x20007, SOUND_POSITIONAL | LoopCode(kLoopRain, kLoopFrequency), 0, 0),
            0);
  EXPECT_EQ(sound.PlayLoop(0x20007, SOUND_POSITIONAL | LoopCode(kLoopLightTank, 9000), 0, 0), 1);
  const CSound::LoopSlot& taken = sound.loopSlot(louder);
  EXPECT_EQ(taken.owner, 0x20007u);
  EXPECT_EQ(taken.buffer, kept);
  EXPECT_EQ(taken.volume, 0);
  EXPECT_EQ(FrequencyOf(kept), 9000u);
  EXPECT_EQ(sound.loopSlot(5).owner, 0x20001u);
}

TEST_F(SoundTest, PersonalDefensesShareOneSlotAndAQuieterOneIsRefused) {
  CSound& sound = Make();
  const std::uint32_t hum = SOUND_POSITIONAL | LoopCode(kLoopDefense, kLoopFrequency);
  ASSERT_EQ(sound.PlayLoop(KIND_PERSONAL_DEFENSE | 1, hum, 5, 0), 1);   // -1000
  EXPECT_EQ(sound.PlayLoop(KIND_PERSONAL_DEFENSE | 2, hum, 20, 0), 0);  // -1150
  int used = 0;
  int shared = -1;
  for (int slot = 0; slot < CSound::kLoopSlotCount; ++slot) {
    if (sound.loopSlot(slot).inUse) {
      ++used;
      shared = slot;
    }
  }
  ASSERT_EQ(used, 1);
  EXPECT_EQ(sound.loopSlot(shared).owner, KIND_PERSONAL_DEFENSE | 1);
  IDirectSoundBuffer* buffer = sound.loopSlot(shared).buffer;

  EXPECT_EQ(sound.PlayLoop(KIND_PERSONAL_DEFENSE | 2, hum, 8, 0), 1);  // -1000: as loud
  EXPECT_EQ(sound.loopSlot(shared).owner, KIND_PERSONAL_DEFENSE | 2);
  EXPECT_EQ(sound.loopSlot(shared).buffer, buffer);
  for (int slot = 0; slot < CSound::kLoopSlotCount; ++slot) {
    EXPECT_EQ(sound.loopSlot(slot).inUse, slot == shared);
  }
}

TEST_F(SoundTest, OnlyThePersonalDefenseHoldingTheSharedSlotStopsItsHum) {
  CSound& sound = Make();
  const std::uint32_t hum = LoopCode(kLoopDefense, kLoopFrequency);
  constexpr std::uint32_t kHolder = KIND_PERSONAL_DEFENSE | 1;
  constexpr std::uint32_t kOther = KIND_PERSONAL_DEFENSE | 2;
  const struct {
    std::uint32_t code;
    int distance;
  } stops[] = {
      {LoopCode(kSoundStopIndex, 0), 0},
      {LoopCode(kLoopDefense, 99), 0},
      {hum, 151},
  };
  ASSERT_EQ(sound.PlayLoop(kHolder, hum, 0, 0), 1);
  const CSound::LoopSlot& shared = sound.loopSlot(5);
  IDirectSoundBuffer* buffer = shared.buffer;
  ASSERT_NE(buffer, nullptr);
  for (const auto& c : stops) {
    SCOPED_TRACE(testing::Message() << std::hex << c.code << std::dec << " at " << c.distance);
    EXPECT_EQ(sound.PlayLoop(kOther, c.code, c.distance, 0), 0);
    EXPECT_TRUE(shared.inUse);
    EXPECT_EQ(shared.owner, kHolder);
    EXPECT_EQ(shared.buffer, buffer);
    EXPECT_EQ(StatusOf(buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  }
  EXPECT_EQ(sound.PlayLoop(kHolder, LoopCode(kSoundStopIndex, 0), 0, 0), 0);
  EXPECT_FALSE(shared.inUse);
  clock_.Advance(10);
  platform::TakeSoundOutput();
  clock_.Advance(10);
  EXPECT_TRUE(Silent(platform::TakeSoundOutput()));
}

TEST_F(SoundTest, ABusyOwnBufferFillsChannelsAndALouderSoundStealsTheQuietest) {
  CSound& sound = Make();
  const std::uint32_t bump = SOUND_POSITIONAL | kBumpHard;
  // 16 plays at -1000, the clock moving on so that every cursor leaves 0: the own buffer and
  // then the 15 channels, filled from the last one.
  for (int play = 0; play < 16; ++play) {
    ASSERT_EQ(sound.Play(bump, 270, 0), 1) << play;
    clock_.Advance(1);
  }
  for (int channel = 0; channel < CSound::kChannelCount; ++channel) {
    ASSERT_NE(sound.channelBuffer(channel), nullptr) << channel;
    EXPECT_EQ(sound.channelVolume(channel), -1000);
  }
  IDirectSoundBuffer* first = sound.channelBuffer(0);
  EXPECT_EQ(sound.Play(bump, 170, 0), 0);  // -600: not 500 louder
  EXPECT_EQ(sound.channelBuffer(0), first);
  EXPECT_EQ(sound.Play(bump, 145, 0), 1);  // -500
  EXPECT_EQ(sound.channelVolume(0), -500);
  EXPECT_NE(sound.channelBuffer(0), nullptr);
  EXPECT_EQ(StatusOf(sound.channelBuffer(0)), DSBSTATUS_PLAYING);
  for (int channel = 1; channel < CSound::kChannelCount; ++channel) {
    EXPECT_EQ(sound.channelVolume(channel), -1000);
  }
}

TEST_F(SoundTest, FinishedChannelsAreFreedAndStuckOnesGoOnTheFourthSighting) {
  CSound& sound = Make();
  const std::uint32_t bump = SOUND_POSITIONAL | kBumpHard;
  ASSERT_EQ(sound.Play(bump, 0, 0), 1);
  clock_.Advance(1);
  ASSERT_EQ(sound.Play(bump, 0, 0), 1);  // the own buffer is busy: channel 14
  ASSERT_NE(sound.channelBuffer(14), nullptr);
  clock_.Advance(400);  // both have ended
  ASSERT_EQ(sound.Play(kExplosion, 0, 0), 1);
  EXPECT_EQ(sound.channelBuffer(14), nullptr);
  EXPECT_EQ(sound.channelVolume(14), CSound::kFreeChannelVolume);

  // With the clock standing still, a started channel stays at cursor 0: three sightings leave
  // it, the fourth frees it.
  ASSERT_EQ(sound.Play(bump, 0, 0), 1);  // own buffer again
  clock_.Advance(1);
  ASSERT_EQ(sound.Play(bump, 0, 0), 1);  // channel 14, at cursor 0 from now on
  IDirectSoundBuffer* stuck = sound.channelBuffer(14);
  ASSERT_NE(stuck, nullptr);
  ASSERT_EQ(sound.channelVolume(14), 0);
  for (int sighting = 1; sighting <= 3; ++sighting) {
    sound.Play(kExplosion, 0, 0);
    EXPECT_EQ(sound.channelBuffer(14), stuck) << sighting;
    EXPECT_EQ(sound.channelVolume(14), 0) << sighting;
  }
  // Freed, and refilled at once by the explosion (at its attenuation of 100).
  ASSERT_EQ(sound.Play(kExplosion, 0, 0), 1);
  EXPECT_EQ(sound.channelVolume(14), -100);
}

TEST_F(SoundTest, StopAllSilencesEverythingAndALoopOwnerRestartsInItsSlot) {
  CSound& sound = Make();
  const std::uint32_t tank = SOUND_POSITIONAL | LoopCode(kLoopLightTank, kLoopFrequency);
  ASSERT_EQ(sound.PlayLoop(0x20001, tank, 0, 0), 1);
  const int slot = 5;
  ASSERT_TRUE(sound.loopSlot(slot).inUse);
  ASSERT_EQ(sound.Play(kBumpHard, 0, 0), 1);
  clock_.Advance(1);
  ASSERT_EQ(sound.Play(kBumpHard, 0, 0), 1);
  ASSERT_NE(sound.channelBuffer(14), nullptr);

  sound.StopAll();
  EXPECT_EQ(sound.channelBuffer(14), nullptr);
  EXPECT_EQ(StatusOf(sound.soundBuffer(kBumpHard)), 0u);
  EXPECT_TRUE(sound.loopSlot(slot).inUse);
  EXPECT_EQ(sound.loopSlot(slot).buffer, nullptr);

  ASSERT_EQ(sound.PlayLoop(0x20001, tank, 0, 0), 1);
  EXPECT_TRUE(sound.loopSlot(slot).inUse);
  ASSERT_NE(sound.loopSlot(slot).buffer, nullptr);
  EXPECT_EQ(StatusOf(sound.loopSlot(slot).buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  for (int other = 0; other < slot; ++other) {
    EXPECT_FALSE(sound.loopSlot(other).inUse);
  }
}

TEST_F(SoundTest, ALostBufferIsRestoredRefilledAndPlayedFromTheStart) {
  CSound& sound = Make();
  constexpr int kMessage = 44;
  const std::vector<std::uint8_t> message = LibrarySamples("MESSAGE");
  ASSERT_FALSE(Silent(message));
  IDirectSoundBuffer* own = sound.soundBuffer(kMessage);
  ASSERT_EQ(SamplesOf(own, message.size()), message);

  platform::LoseSoundBuffer(own);
  {
    platform::DirectSoundFaults faults;
    faults.restore = E_FAIL;
    platform::ScopedDirectSoundFaults failing(faults);
    EXPECT_EQ(sound.Play(kMessage, 0, 0), 0);
  }
  EXPECT_EQ(sound.Play(kMessage, 0, 0), 1);  // the next request tries the same buffer again
  EXPECT_EQ(StatusOf(own), DSBSTATUS_PLAYING);
  DWORD cursor = 1;
  ASSERT_EQ(own->GetCurrentPosition(&cursor, nullptr), DS_OK);
  EXPECT_EQ(cursor, 0u);
  EXPECT_EQ(SamplesOf(own, message.size()), message);

  // A lost loop buffer recovers the same way, and so do the samples that its own buffer shares.
  const std::vector<std::uint8_t> tank = LibrarySamples("LOOPLTANK");
  ASSERT_EQ(sound.PlayLoop(0x20001, LoopCode(kLoopLightTank, kLoopFrequency), 0, 0), 1);
  IDirectSoundBuffer* loop = sound.loopSlot(5).buffer;
  platform::LoseSoundBuffer(loop);
  EXPECT_EQ(sound.PlayLoop(0x20001, LoopCode(kLoopLightTank, kLoopFrequency), 0, 0), 1);
  EXPECT_EQ(StatusOf(loop), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  EXPECT_EQ(SamplesOf(loop, tank.size()), tank);
  EXPECT_EQ(SamplesOf(sound.soundBuffer(kLoopLightTank), tank.size()), tank);
}

TEST_F(SoundTest, AFailedRefillAnswersZeroAndTheNextRequestRefills) {
  CSound& sound = Make();
  ASSERT_EQ(sound.PlayLoop(0x20001, LoopCode(kLoopLightTank, kLoopFrequency), 0, 0), 1);
  const struct {
    IDirectSoundBuffer* buffer;
    const char* name;
    std::uint32_t code;
    bool looping;
  } cases[] = {
      {sound.soundBuffer(kExplosion), "EXPLOSION", kExplosion, false},
      {sound.loopSlot(5).buffer, "LOOPLTANK", LoopCode(kLoopLightTank, kLoopFrequency), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto request = [&] {
      return c.looping ? sound.PlayLoop(0x20001, c.code, 0, 0) : sound.Play(c.code, 0, 0);
    };
    const std::vector<std::uint8_t> samples = LibrarySamples(c.name);
    platform::LoseSoundBuffer(c.buffer);
    {
      // Restored, but without the memory to copy the samples in with.
      test_support::FailingMemory noMemory(0);
      EXPECT_EQ(request(), 0);
    }
    EXPECT_EQ(StatusOf(c.buffer), 0u);
    EXPECT_TRUE(Silent(SamplesOf(c.buffer, samples.size())));
    EXPECT_EQ(request(), 1);
    EXPECT_EQ(StatusOf(c.buffer), DSBSTATUS_PLAYING | (c.looping ? DSBSTATUS_LOOPING : 0));
    EXPECT_EQ(SamplesOf(c.buffer, samples.size()), samples);
  }
}

TEST_F(SoundTest, WithoutAPrimaryBufferTheSoundsStillPlay) {
  platform::DirectSoundFaults faults;
  faults.primary = DSERR_ALLOCATED;
  platform::ScopedDirectSoundFaults failing(faults);
  CSound& sound = Make();
  ASSERT_NE(sound.directSound(), nullptr);
  for (int index = 0; index < kSoundCount; ++index) {
    EXPECT_NE(sound.soundBuffer(index), nullptr) << index;
  }
  EXPECT_EQ(sound.Play(kExplosion, 0, 0), 1);
  EXPECT_EQ(sound.PlayLoop(0x20001, LoopCode(kLoopLightTank, kLoopFrequency), 0, 0), 1);
  clock_.Advance(10);
  EXPECT_FALSE(Silent(platform::TakeSoundOutput()));
}

TEST_F(SoundTest, RowsWhoseBuffersCannotBeMadeStaySilent) {
  // Unreadable caps give no row a buffer. Memory that runs out while the rows load (each row asks
  // for its buffer, then for the copy that fills it) leaves the rows loaded before it and no later
  // one, whether it runs out making a row's buffer or filling it.
  const struct {
    const char* name;
    bool capsFail;
    long allocations;
  } cases[] = {
      {"caps fail", true, -1},
      {"no memory for any buffer", false, 1},
      {"memory runs out filling a buffer", false, 8},
      {"memory runs out making a buffer", false, 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sound_.reset();
    platform::DirectSoundFaults faults;
    if (c.capsFail) {
      faults.caps = E_FAIL;
    }
    platform::ScopedDirectSoundFaults failing(faults);
    std::optional<test_support::FailingMemory> memory;
    if (c.allocations >= 0) {
      memory.emplace(c.allocations);
    }
    CSound& sound = Make();
    memory.reset();
    ASSERT_TRUE(sound.enabled());
    ASSERT_NE(sound.directSound(), nullptr);
    int loaded = 0;
    while (loaded < kSoundCount && sound.soundBuffer(loaded) != nullptr) {
      ++loaded;
    }
    if (c.capsFail || c.allocations == 1) {
      EXPECT_EQ(loaded, 0);
    } else {
      EXPECT_GT(loaded, 0);
      EXPECT_LT(loaded, kSoundCount);
    }
    for (int index = 0; index < kSoundCount; ++index) {
      EXPECT_EQ(sound.soundBuffer(index) != nullptr, index < loaded) << index;
      EXPECT_EQ(sound.Play(static_cast<std::uint32_t>(index), 0, 0), index < loaded ? 1 : 0)
          << index;
    }
    sound.StopAll();
  }
}

TEST_F(SoundTest, AnUnreadableStatusCountsAsNotPlaying) {
  CSound& sound = Make();
  ASSERT_EQ(sound.Play(kBumpHard, 0, 0), 1);
  clock_.Advance(1);
  {
    platform::DirectSoundFaults faults;
    faults.status = E_FAIL;
    platform::ScopedDirectSoundFaults failing(faults);
    EXPECT_EQ(sound.Play(kBumpHard, 0, 0), 1);
  }
  for (int channel = 0; channel < CSound::kChannelCount; ++channel) {
    EXPECT_EQ(sound.channelBuffer(channel), nullptr);
  }
  DWORD cursor = 1;
  ASSERT_EQ(sound.soundBuffer(kBumpHard)->GetCurrentPosition(&cursor, nullptr), DS_OK);
  EXPECT_EQ(cursor, 0u);  // restarted
}

TEST_F(SoundTest, ALoopOnItsOwnBufferIsKeptInItsSlotAndStoppedWithIt) {
  CSound& sound = Make();
  IDirectSoundBuffer* own = sound.soundBuffer(kLoopLightTank);
  {
    platform::DirectSoundFaults faults;
    faults.duplicate = E_FAIL;
    platform::ScopedDirectSoundFaults failing(faults);
    ASSERT_EQ(sound.PlayLoop(0x20001, LoopCode(kLoopLightTank, kLoopFrequency), 0, 0), 1);
    // A one-shot that cannot duplicate restarts the own buffer.
    ASSERT_EQ(sound.Play(kBumpHard, 0, 0), 1);
    clock_.Advance(1);
    EXPECT_EQ(sound.Play(kBumpHard, 0, 0), 1);
    EXPECT_EQ(sound.channelBuffer(14), nullptr);
  }
  EXPECT_EQ(sound.loopSlot(5).buffer, own);
  EXPECT_EQ(StatusOf(own), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  EXPECT_EQ(sound.PlayLoop(0x20001, LoopCode(kSoundStopIndex, 0), 0, 0), 0);
  EXPECT_EQ(StatusOf(own), 0u);
  EXPECT_EQ(sound.soundBuffer(kLoopLightTank), own);  // still the row's buffer
  EXPECT_EQ(sound.Play(kLoopLightTank, 0, 0), 1);
}

TEST_F(SoundTest, ADisabledManagerOrOneWithoutDirectSoundPlaysNothing) {
  {
    CSound& sound = Make(0);
    EXPECT_FALSE(sound.enabled());
    EXPECT_EQ(sound.directSound(), nullptr);
    EXPECT_EQ(sound.Play(kBumpHard, 0, 0), 0);
    EXPECT_EQ(sound.PlayLoop(1, LoopCode(kLoopLightTank, kLoopFrequency), 0, 0), 0);
  }
  for (const bool failCreate : {true, false}) {
    platform::DirectSoundFaults faults;
    (failCreate ? faults.create : faults.cooperativeLevel) = DSERR_NODRIVER;
    platform::ScopedDirectSoundFaults failing(faults);
    CSound& sound = Make();
    EXPECT_TRUE(sound.enabled());
    EXPECT_EQ(sound.directSound(), nullptr);
    EXPECT_EQ(sound.soundBuffer(kBumpHard), nullptr);
    EXPECT_EQ(sound.Play(kBumpHard, 0, 0), 0);
    EXPECT_EQ(sound.PlayLoop(1, LoopCode(kLoopLightTank, kLoopFrequency), 0, 0), 0);
  }
}

}  // namespace
