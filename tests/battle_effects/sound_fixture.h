// A sound manager over the real "sound.dll" and the software DirectSound, on a virtual clock
// that stands still unless a test moves it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "battle/effects/sound.h"
#include "platform/dsound/sound_faults.h"
#include "platform/kernel/clock.h"
#include "platform/window/messages.h"
#include "tests/support/scoped_window_system.h"

class SoundFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = test_support::CreateShownWindow("sound_wc", DefWindowProcA);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { sound_.reset(); }

  CSound& Make(int enabled = 1) {
    sound_.reset();  // one DirectSound device at a time
    sound_ = std::make_unique<CSound>(window_, enabled);
    return *sound_;
  }

  static DWORD StatusOf(IDirectSoundBuffer* buffer) {
    DWORD status = 0xFFFF;
    EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
    return status;
  }
  static LONG VolumeOf(IDirectSoundBuffer* buffer) {
    LONG volume = 1;
    EXPECT_EQ(buffer->GetVolume(&volume), DS_OK);
    return volume;
  }
  static LONG PanOf(IDirectSoundBuffer* buffer) {
    LONG pan = 1;
    EXPECT_EQ(buffer->GetPan(&pan), DS_OK);
    return pan;
  }
  static DWORD FrequencyOf(IDirectSoundBuffer* buffer) {
    DWORD frequency = 1;
    EXPECT_EQ(buffer->GetFrequency(&frequency), DS_OK);
    return frequency;
  }

  platform::VirtualClock clock_;
  platform::ScopedProcessClock useClock_{clock_};
  test_support::ScopedWindowSystem windows_;
  HWND window_ = nullptr;
  std::unique_ptr<CSound> sound_;
};
