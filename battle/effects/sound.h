// CSound: the game's one sound manager. It loads every sound of "sound.dll" into a DirectSound
// buffer once and plays one-shots on a sound's own buffer or on one of 15 duplicate channels, and
// loops in 6 slots each owned by one object. Volumes and pans are DirectSound's, in hundredths
// of a decibel; distances and bearings come from the positional front end.
#pragma once

#include <array>
#include <cstdint>

#include "battle/core/sound_table.h"
#include "platform/dsound.h"
#include "platform/kernel/module.h"
#include "platform/window/handles.h"

class CSound {
 public:
  static constexpr int kChannelCount = 15;
  static constexpr int kLoopSlotCount = 6;
  static constexpr int kFreeChannelVolume = -100000;
  static constexpr int kCountdownStart = 3;

  struct LoopSlot {
    bool inUse = false;
    std::uint32_t owner = 0;
    int index = 0;
    int volume = 0;
    IDirectSoundBuffer* buffer = nullptr;
    // The buffer is the sound's own buffer (no duplicate could be made): stopped, never released.
    bool ownBuffer = false;
  };

  // Loads "sound.dll" (without it the manager stays silent) and, when enabled, opens
  // DirectSound for the window and loads the sounds.
  CSound(HWND window, int enabled);
  ~CSound();
  CSound(const CSound&) = delete;
  CSound& operator=(const CSound&) = delete;

  // Opens DirectSound and loads the buffers that are not loaded yet; returns 1.
  int Init(HWND window);
  // Silences every channel, own buffer and loop; the slots stay with their owners.
  void StopAll();
  // A one-shot of a SoundCode at a distance and bearing (degrees): 1 when it started.
  int Play(std::uint32_t code, int distance, int bearing);
  // Starts, adjusts or stops the loop of the object `owner`: 1 when it plays after the call.
  int PlayLoop(std::uint32_t owner, std::uint32_t code, int distance, int bearing);
  // Starts sound `index` at a pan and volume on its own buffer or a channel: 1 when it started.
  int PlayOnChannel(int index, int pan, int volume);

  bool enabled() const { return enabled_ != 0; }
  IDirectSound* directSound() const { return directSound_; }
  IDirectSoundBuffer* soundBuffer(int index) const { return soundBuffers_[index]; }
  IDirectSoundBuffer* channelBuffer(int channel) const { return channelBuffers_[channel]; }
  int channelVolume(int channel) const { return channelVolumes_[channel]; }
  const LoopSlot& loopSlot(int slot) const { return loopSlots_[slot]; }

 private:
  void FreeChannel(int channel);
  void StopSlot(LoopSlot& slot);
  int StartLoop(LoopSlot& slot, std::uint32_t owner, int index, int volume, int pan,
                DWORD frequency);
  // Plays a buffer; a lost one, or one whose refill failed, is restored, refilled from the
  // library and played once more.
  HRESULT PlayBuffer(IDirectSoundBuffer* buffer, int index, DWORD flags);

  HMODULE module_ = nullptr;
  int enabled_ = 0;
  IDirectSound* directSound_ = nullptr;
  std::array<IDirectSoundBuffer*, kSoundCount> soundBuffers_{};
  std::array<IDirectSoundBuffer*, kChannelCount> channelBuffers_{};
  std::array<int, kChannelCount> channelVolumes_{};
  std::array<int, kSoundCount> soundCountdowns_{};
  std::array<int, kChannelCount> channelCountdowns_{};
  std::array<LoopSlot, kLoopSlotCount> loopSlots_{};
  // Rows whose samples were restored but could not be copied in again: their buffers would play
  // silence, so the next request refills them first.
  std::array<bool, kSoundCount> refillDue_{};
};

// The one sound manager, made by the library's entry before the login.
extern CSound* gSound;
