#include "battle/effects/sound.h"

#include <cmath>
#include <numbers>
#include <string>

#include "battle/core/sound_code.h"
#include "battle/effects/wave_resource.h"
#include "common/messages.h"

CSound* gSound = nullptr;

namespace {

// Shared by every manager of the process: the primary buffer, and the creation flags, which keep
// DSBCAPS_LOCSOFTWARE once it was added.
IDirectSoundBuffer* gPrimaryBuffer = nullptr;
DWORD gBufferFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;

// Rows 0 to 9 (the loops and the thunder) may use hardware buffers.
constexpr int kHardwareRows = 10;
constexpr DWORD kMaxFreeHardwareForSoftware = 6;
constexpr int kOneShotRange = 500;
constexpr int kOneShotFullLevel = 20;
constexpr int kOneShotFade = 4;
constexpr int kLoopRange = 150;
constexpr int kLoopFullLevel = 10;
constexpr int kLoopFade = 15;
constexpr int kQuietLoop = 1000;
constexpr int kStealMargin = 500;
constexpr DWORD kLowestLoopFrequency = 100;
constexpr std::uint32_t kKindMask = 0xFFFF0000;

void ReleaseFully(IDirectSoundBuffer* buffer) {
  while (buffer->Release() != 0) {
  }
}

// -(sin(bearing) x 1000), truncated toward zero.
int PanOf(int bearing) {
  return -static_cast<int>(std::sin(bearing * std::numbers::pi / 180.0) * 1000.0);
}

std::string RowName(int index) { return std::string(kSoundTable[index].name); }

}  // namespace

CSound::CSound(HWND window, int enabled) : enabled_(enabled) {
  module_ = LoadLibraryA("sound.dll");
  if (module_ == nullptr) {
    enabled_ = 0;
    return;
  }
  soundCountdowns_.fill(kCountdownStart);
  channelVolumes_.fill(kFreeChannelVolume);
  channelCountdowns_.fill(kCountdownStart);
  if (enabled_ != 0 && Init(window) == 0) {
    enabled_ = 0;
  }
}

CSound::~CSound() {
  if (enabled_ != 0) {
    StopAll();
    for (IDirectSoundBuffer*& buffer : soundBuffers_) {
      if (buffer != nullptr) {
        buffer->Stop();
        ReleaseFully(buffer);
        buffer = nullptr;
      }
    }
    if (gPrimaryBuffer != nullptr) {
      gPrimaryBuffer->Stop();
      gPrimaryBuffer->Release();
      gPrimaryBuffer = nullptr;
    }
    if (directSound_ != nullptr) {
      directSound_->Release();
      directSound_ = nullptr;
    }
  }
  if (module_ != nullptr) {
    FreeLibrary(module_);
  }
}

int CSound::Init(HWND window) {
  if (directSound_ == nullptr && DirectSoundCreate(nullptr, &directSound_, nullptr) == DS_OK &&
      directSound_->SetCooperativeLevel(window, DSSCL_EXCLUSIVE) != DS_OK) {
    directSound_->Release();
    directSound_ = nullptr;
  }
  if (directSound_ == nullptr) {
    return 1;
  }
  DSCAPS caps{};
  caps.dwSize = sizeof(DSCAPS);
  if (directSound_->GetCaps(&caps) != DS_OK || (caps.dwFlags & DSCAPS_CERTIFIED) == 0) {
    gBufferFlags |= DSBCAPS_LOCSOFTWARE;
  }
  for (int index = 0; index < kSoundCount; ++index) {
    if (soundBuffers_[index] != nullptr || kSoundTable[index].name.empty()) {
      continue;
    }
    caps = DSCAPS{};
    caps.dwSize = sizeof(DSCAPS);
    if (directSound_->GetCaps(&caps) != DS_OK) {
      continue;
    }
    if (index >= kHardwareRows || caps.dwFreeHwMixingStaticBuffers <= kMaxFreeHardwareForSoftware) {
      gBufferFlags |= DSBCAPS_LOCSOFTWARE;
    }
    soundBuffers_[index] =
        LoadWaveBuffer(directSound_, module_, RowName(index).c_str(), gBufferFlags);
  }
  const DSBUFFERDESC primary{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
  if (directSound_->CreateSoundBuffer(&primary, &gPrimaryBuffer, nullptr) != DS_OK) {
    return 1;
  }
  const WAVEFORMATEX output{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
  gPrimaryBuffer->SetFormat(&output);
  gPrimaryBuffer->Play(0, 0, DSBPLAY_LOOPING);
  return 1;
}

void CSound::FreeChannel(int channel) {
  IDirectSoundBuffer*& buffer = channelBuffers_[channel];
  buffer->Stop();
  ReleaseFully(buffer);
  buffer = nullptr;
  channelVolumes_[channel] = kFreeChannelVolume;
  channelCountdowns_[channel] = kCountdownStart;
}

void CSound::StopAll() {
  if (enabled_ == 0) {
    return;
  }
  for (int channel = 0; channel < kChannelCount; ++channel) {
    if (channelBuffers_[channel] != nullptr) {
      FreeChannel(channel);
    }
  }
  for (int index = 0; index < kSoundCount; ++index) {
    if (soundBuffers_[index] != nullptr) {
      soundBuffers_[index]->Stop();
      soundCountdowns_[index] = kCountdownStart;
    }
  }
  for (LoopSlot& slot : loopSlots_) {
    if (slot.inUse && slot.buffer != nullptr) {
      slot.buffer->Stop();
      if (!slot.ownBuffer) {
        ReleaseFully(slot.buffer);
      }
      slot.buffer = nullptr;
      slot.ownBuffer = false;
    }
  }
}

int CSound::Play(std::uint32_t code, int distance, int bearing) {
  if (enabled_ == 0) {
    return 0;
  }
  const int index = static_cast<int>(code & kSoundIndexMask);
  if (index >= kSoundCount) {
    return 0;
  }
  int pan = 0;
  int volume = 0;
  if ((code & SOUND_POSITIONAL) != 0) {
    if (distance > 1) {
      pan = PanOf(bearing);
    }
    if (distance > kOneShotRange) {
      return 0;
    }
    if (distance > kOneShotFullLevel) {
      volume = (kOneShotFullLevel - distance) * kOneShotFade;
    }
  }
  return PlayOnChannel(index, pan, volume - kSoundTable[index].attenuation);
}

HRESULT CSound::PlayBuffer(IDirectSoundBuffer* buffer, int index, DWORD flags) {
  HRESULT result = refillDue_[index] ? DSERR_BUFFERLOST : buffer->Play(0, 0, flags);
  if (result != DSERR_BUFFERLOST) {
    return result;
  }
  result = buffer->Restore();
  if (result != DS_OK) {
    return result;
  }
  // The original played the restored silence from the next request on.
  refillDue_[index] = ReloadWaveBuffer(buffer, module_, RowName(index).c_str()) == 0;
  if (refillDue_[index]) {
    return E_FAIL;
  }
  buffer->SetCurrentPosition(0);
  return buffer->Play(0, 0, flags);
}

int CSound::PlayOnChannel(int index, int pan, int volume) {
  if (directSound_ == nullptr) {
    return 0;
  }
  int freeChannel = -1;
  for (int channel = 0; channel < kChannelCount; ++channel) {
    IDirectSoundBuffer* buffer = channelBuffers_[channel];
    if (buffer == nullptr) {
      freeChannel = channel;
      continue;
    }
    DWORD status = 0;
    if (buffer->GetStatus(&status) != DS_OK) {
      continue;
    }
    if (status != DSBSTATUS_PLAYING) {
      FreeChannel(channel);
      freeChannel = channel;
      continue;
    }
    // A channel that keeps playing at cursor 0 is stuck: released on the fourth sighting.
    DWORD cursor = 0;
    if (buffer->GetCurrentPosition(&cursor, nullptr) != DS_OK || cursor != 0) {
      continue;
    }
    if (channelCountdowns_[channel] > 0) {
      --channelCountdowns_[channel];
      continue;
    }
    FreeChannel(channel);
    freeChannel = channel;
  }

  IDirectSoundBuffer* own = soundBuffers_[index];
  if (own == nullptr) {
    return 0;
  }
  bool busy = false;
  DWORD status = 0;
  // A status that cannot be read counts as not playing: the own buffer is taken.
  if (own->GetStatus(&status) == DS_OK && status == DSBSTATUS_PLAYING) {
    DWORD cursor = 0;
    if (own->GetCurrentPosition(&cursor, nullptr) == DS_OK && cursor == 0) {
      if (soundCountdowns_[index] > 0) {
        --soundCountdowns_[index];
        busy = true;
      } else {
        own->Stop();
        soundCountdowns_[index] = kCountdownStart;
      }
    } else {
      busy = true;
    }
  }

  IDirectSoundBuffer* target = own;
  if (busy) {
    if (freeChannel < 0) {
      int quietest = 0;
      for (int channel = 1; channel < kChannelCount; ++channel) {
        if (channelVolumes_[channel] < channelVolumes_[quietest]) {
          quietest = channel;
        }
      }
      if (volume - kStealMargin < channelVolumes_[quietest]) {
        return 0;
      }
      FreeChannel(quietest);
      freeChannel = quietest;
    }
    IDirectSoundBuffer* duplicate = nullptr;
    if (directSound_->DuplicateSoundBuffer(own, &duplicate) == DS_OK) {
      channelBuffers_[freeChannel] = duplicate;
      channelVolumes_[freeChannel] = volume;
      channelCountdowns_[freeChannel] = kCountdownStart;
      target = duplicate;
    }
  }
  target->SetCurrentPosition(0);
  target->SetPan(pan);
  target->SetVolume(volume);
  return PlayBuffer(target, index, 0) == DS_OK ? 1 : 0;
}

void CSound::StopSlot(LoopSlot& slot) {
  if (slot.buffer != nullptr) {
    slot.buffer->Stop();
    if (!slot.ownBuffer) {
      ReleaseFully(slot.buffer);
    }
  }
  slot.buffer = nullptr;
  slot.ownBuffer = false;
  slot.inUse = false;
}

int CSound::StartLoop(LoopSlot& slot, std::uint32_t owner, int index, int volume, int pan,
                      DWORD frequency) {
  slot.inUse = true;
  slot.owner = owner;
  slot.index = index;
  slot.volume = volume;
  IDirectSoundBuffer* own = soundBuffers_[index];
  if (own == nullptr) {
    return 0;
  }
  if (slot.buffer == nullptr) {
    if (directSound_->DuplicateSoundBuffer(own, &slot.buffer) != DS_OK) {
      // Kept in the slot, so that the slot's stop silences it.
      slot.buffer = own;
      slot.ownBuffer = true;
    }
  }
  IDirectSoundBuffer* buffer = slot.buffer;
  buffer->SetPan(pan);
  buffer->SetVolume(volume);
  buffer->SetFrequency(frequency);
  return PlayBuffer(buffer, index, DSBPLAY_LOOPING) == DS_OK ? 1 : 0;
}

int CSound::PlayLoop(std::uint32_t owner, std::uint32_t code, int distance, int bearing) {
  if (enabled_ == 0 || directSound_ == nullptr) {
    return 0;
  }
  const int index = static_cast<int>(code & kSoundIndexMask);
  DWORD frequency = (code >> kSoundFrequencyShift) & kSoundFrequencyMask;
  const bool stopRequest = index == static_cast<int>(kSoundStopIndex);
  if (stopRequest) {
    frequency = 0;
  } else if (index >= kSoundCount) {
    return 0;
  }
  int pan = 0;
  int volume = 0;
  if ((code & SOUND_POSITIONAL) != 0) {
    pan = PanOf(bearing);
    if (distance > kLoopFullLevel) {
      volume = (kLoopFullLevel - distance) * kLoopFade;
    }
  }
  if ((code & SOUND_QUIET) != 0) {
    volume -= kQuietLoop;
  }
  // A stop request names no row.
  if (!stopRequest) {
    volume -= kSoundTable[index].attenuation;
  }

  const bool audible = distance <= kLoopRange && frequency >= kLowestLoopFrequency;
  LoopSlot* owned = nullptr;
  LoopSlot* freeSlot = nullptr;
  LoopSlot* candidate = nullptr;
  if ((owner & kKindMask) == KIND_PERSONAL_DEFENSE) {
    // Every personal defense shares one slot; a quieter newcomer is refused, and so is one that
    // would only stop it: the original passed the slot to it and cut the holder's hum.
    for (LoopSlot& slot : loopSlots_) {
      if (!slot.inUse) {
        freeSlot = &slot;
        continue;
      }
      if ((slot.owner & kKindMask) == KIND_PERSONAL_DEFENSE) {
        if (slot.owner != owner && (!audible || slot.volume > volume)) {
          return 0;
        }
        owned = &slot;
        break;
      }
    }
  } else {
    int level = -10000;
    for (LoopSlot& slot : loopSlots_) {
      if (slot.inUse && slot.owner == owner) {
        owned = &slot;
        break;
      }
      if (!slot.inUse) {
        freeSlot = &slot;
      } else if (slot.index == index && volume > level && slot.volume > level) {
        candidate = &slot;
        level = slot.volume;
      }
    }
  }

  if (owned == nullptr) {
    if (!audible) {
      return 0;
    }
    if (freeSlot != nullptr) {
      return StartLoop(*freeSlot, owner, index, volume, pan, frequency);
    }
    if (candidate != nullptr) {
      return StartLoop(*candidate, owner, index, volume, pan, frequency);
    }
    return 0;
  }
  if (!audible || owned->index != index) {
    StopSlot(*owned);
    owned->index = index;
    if (!audible) {
      return 0;
    }
  }
  return StartLoop(*owned, owner, index, volume, pan, frequency);
}
