// The sound manager where no "sound.dll" lies beside the program or in the working folder: this
// program is built into a folder of its own and works in a scratch folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "battle/core/sound_code.h"
#include "battle/effects/sound.h"
#include "tests/battle_effects/sound_fixture.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr int kBumpHard = 14;

class SoundWithoutLibrary : public SoundFixture {
 protected:
  // Every request of every row, one-shot and loop, answers 0.
  static void ExpectSilent(CSound& sound) {
    for (int index = 0; index < kSoundCount; ++index) {
      EXPECT_EQ(sound.soundBuffer(index), nullptr) << index;
      EXPECT_EQ(sound.Play(static_cast<std::uint32_t>(index), 0, 0), 0) << index;
      EXPECT_EQ(sound.PlayLoop(0x20001, LoopCode(static_cast<std::uint32_t>(index), 11025), 0, 0),
                0)
          << index;
    }
    sound.StopAll();
  }

  test_support::ScratchFolder folder_{"sound_without_library"};
  test_support::ScopedWorkingFolder working_{folder_.Path()};
};

TEST_F(SoundWithoutLibrary, TheManagerIsDisabledAndHoldsNoDevice) {
  ASSERT_EQ(LoadLibraryA("sound.dll"), nullptr);
  CSound& sound = Make();
  EXPECT_FALSE(sound.enabled());
  EXPECT_EQ(sound.directSound(), nullptr);
  EXPECT_EQ(sound.PlayOnChannel(kBumpHard, 0, 0), 0);
  ExpectSilent(sound);
  for (int slot = 0; slot < CSound::kLoopSlotCount; ++slot) {
    EXPECT_FALSE(sound.loopSlot(slot).inUse) << slot;
  }
  // No device was opened: the one device can still be had.
  IDirectSound* device = nullptr;
  EXPECT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
  ASSERT_NE(device, nullptr);
  device->Release();
}

TEST_F(SoundWithoutLibrary, ALibraryWithoutTheSoundsLeavesEveryRowSilent) {
  // A resource library of other WAV resources under the name.
  std::filesystem::copy_file(ARENA_WAVE_FIXTURES, folder_.Path() / "sound.dll");
  CSound& sound = Make();
  EXPECT_TRUE(sound.enabled());
  ASSERT_NE(sound.directSound(), nullptr);
  ExpectSilent(sound);
  clock_.Advance(10);
  const std::vector<std::int16_t> out = platform::TakeSoundOutput();
  ASSERT_FALSE(out.empty());
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::int16_t s) { return s == 0; }));
}

}  // namespace
