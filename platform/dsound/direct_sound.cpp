#include "platform/dsound/direct_sound.h"

#include <new>

#include "platform/dsound/sound_faults.h"
#include "platform/dsound/sound_output.h"
#include "platform/kernel/allocation_hook.h"
#include "platform/window/window.h"

namespace {

// The one living device, for the capture that tests read.
std::atomic<IDirectSound*> gDevice{nullptr};

bool ValidSecondaryFormat(const WAVEFORMATEX* format) {
  return format != nullptr && format->wFormatTag == WAVE_FORMAT_PCM &&
         (format->nChannels == 1 || format->nChannels == 2) && format->wBitsPerSample == 16 &&
         format->nBlockAlign == format->nChannels * 2 &&
         format->nSamplesPerSec >= DSBFREQUENCY_MIN && format->nSamplesPerSec <= DSBFREQUENCY_MAX;
}

// The largest secondary buffer we make.
constexpr DWORD kMaxBufferBytes = 0x0FFFFFFF;

}  // namespace

IDirectSound::IDirectSound() {
  platform::OpenedSoundOutput opened = platform::OpenSoundOutput();
  mixer_ = std::move(opened.mixer);
  output_ = std::move(opened.output);
}

IDirectSound::~IDirectSound() {
  if (primary_ != nullptr) {
    primary_->device_ = nullptr;
  }
}

ULONG IDirectSound::AddRef() { return ++references_; }

ULONG IDirectSound::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    gDevice = nullptr;
    delete this;
  }
  return left;
}

HRESULT IDirectSound::SetCooperativeLevel(HWND window, DWORD level) {
  if (platform::GetDirectSoundFaults().cooperativeLevel != DS_OK) {
    return platform::GetDirectSoundFaults().cooperativeLevel;
  }
  platform::WindowState state;
  if (level < DSSCL_NORMAL || level > DSSCL_EXCLUSIVE || !platform::GetWindowState(window, state)) {
    return DSERR_INVALIDPARAM;
  }
  level_ = level;
  return DS_OK;
}

HRESULT IDirectSound::GetCaps(DSCAPS* caps) {
  const platform::DirectSoundFaults& faults = platform::GetDirectSoundFaults();
  if (faults.caps != DS_OK) {
    return faults.caps;
  }
  if (caps == nullptr || caps->dwSize != sizeof(DSCAPS)) {
    return DSERR_INVALIDPARAM;
  }
  *caps = DSCAPS{};
  caps->dwSize = sizeof(DSCAPS);
  caps->dwFlags = faults.capsFlags;
  caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
  caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
  caps->dwFreeHwMixingStaticBuffers = faults.freeHwStaticBuffers;
  return DS_OK;
}

HRESULT IDirectSound::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out,
                                        LPUNKNOWN outer) {
  if (out == nullptr) {
    return DSERR_INVALIDPARAM;
  }
  *out = nullptr;
  if (desc == nullptr || desc->dwSize != sizeof(DSBUFFERDESC) || outer != nullptr) {
    return DSERR_INVALIDPARAM;
  }
  if (level_ == 0) {
    return DSERR_PRIOLEVELNEEDED;
  }
  if ((desc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0) {
    if (desc->dwBufferBytes != 0 || desc->lpwfxFormat != nullptr) {
      return DSERR_INVALIDPARAM;
    }
    if (platform::GetDirectSoundFaults().primary != DS_OK) {
      return platform::GetDirectSoundFaults().primary;
    }
    if (primary_ != nullptr) {
      return DSERR_ALLOCATED;
    }
  } else {
    if (!ValidSecondaryFormat(desc->lpwfxFormat)) {
      return DSERR_BADFORMAT;
    }
    if (desc->dwBufferBytes == 0 || desc->dwBufferBytes > kMaxBufferBytes) {
      return DSERR_INVALIDPARAM;
    }
  }
  if (!platform::AllocationAllowed(sizeof(IDirectSoundBuffer))) {
    return DSERR_OUTOFMEMORY;
  }
  auto* buffer = new IDirectSoundBuffer(mixer_, this, desc->dwFlags);
  if ((desc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0) {
    primary_ = buffer;
  } else {
    platform::SoundVoice& voice = buffer->voice_;
    voice.memory = std::make_shared<platform::SoundMemory>();
    voice.memory->bytes.assign(desc->dwBufferBytes, 0);
    voice.channels = desc->lpwfxFormat->nChannels;
    voice.formatRate = desc->lpwfxFormat->nSamplesPerSec;
    voice.frequency = voice.formatRate;
    std::lock_guard<std::mutex> lock(mixer_->mutex());
    mixer_->Add(&voice);
  }
  *out = buffer;
  return DS_OK;
}

HRESULT IDirectSound::DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out) {
  if (out == nullptr) {
    return DSERR_INVALIDPARAM;
  }
  *out = nullptr;
  if (original == nullptr || original->device_ != this) {
    return DSERR_INVALIDPARAM;
  }
  if (original->primary()) {
    return DSERR_INVALIDCALL;
  }
  if (platform::GetDirectSoundFaults().duplicate != DS_OK) {
    return platform::GetDirectSoundFaults().duplicate;
  }
  if (!platform::AllocationAllowed(sizeof(IDirectSoundBuffer))) {
    return DSERR_OUTOFMEMORY;
  }
  auto* buffer = new IDirectSoundBuffer(mixer_, this, original->flags_);
  std::lock_guard<std::mutex> lock(mixer_->mutex());
  platform::SoundVoice& voice = buffer->voice_;
  voice = original->voice_;
  voice.playing = false;
  voice.looping = false;
  voice.position = 0;
  mixer_->Add(&voice);
  *out = buffer;
  return DS_OK;
}

HRESULT DirectSoundCreate(GUID* device, IDirectSound** out, LPUNKNOWN outer) {
  if (out == nullptr) {
    return DSERR_INVALIDPARAM;
  }
  *out = nullptr;
  if (device != nullptr || outer != nullptr) {
    return DSERR_INVALIDPARAM;
  }
  if (platform::GetDirectSoundFaults().create != DS_OK) {
    return platform::GetDirectSoundFaults().create;
  }
  if (gDevice.load() != nullptr) {
    return DSERR_ALLOCATED;
  }
  if (!platform::AllocationAllowed(sizeof(IDirectSound))) {
    return DSERR_OUTOFMEMORY;
  }
  *out = new IDirectSound();
  gDevice = *out;
  return DS_OK;
}

namespace platform {

std::vector<std::int16_t> TakeSoundOutput() {
  IDirectSound* device = gDevice.load();
  if (device == nullptr) {
    return {};
  }
  std::lock_guard<std::mutex> lock(device->mixer_->mutex());
  return device->mixer_->TakeCapture();
}

}  // namespace platform
