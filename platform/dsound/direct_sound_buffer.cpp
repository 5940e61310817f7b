#include "platform/dsound/direct_sound_buffer.h"

#include <algorithm>

#include "platform/dsound/direct_sound.h"
#include "platform/dsound/sound_faults.h"
#include "platform/kernel/allocation_hook.h"

namespace {

// Mixes what is due before a call looks at or changes a voice, so that the change takes effect
// from now on.
class MixerLock {
 public:
  explicit MixerLock(platform::SoundMixer& mixer) : lock_(mixer.mutex()) { mixer.CatchUp(); }

 private:
  std::lock_guard<std::mutex> lock_;
};

}  // namespace

IDirectSoundBuffer::IDirectSoundBuffer(std::shared_ptr<platform::SoundMixer> mixer,
                                       IDirectSound* device, DWORD flags)
    : mixer_(std::move(mixer)), device_(device), flags_(flags) {}

IDirectSoundBuffer::~IDirectSoundBuffer() = default;

ULONG IDirectSoundBuffer::AddRef() { return ++references_; }

ULONG IDirectSoundBuffer::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    // This buffer may hold the last reference to the mixer: it must outlive the unlock.
    const std::shared_ptr<platform::SoundMixer> mixer = mixer_;
    std::lock_guard<std::mutex> lock(mixer->mutex());
    if (primary()) {
      if (device_ != nullptr) {
        device_->primary_ = nullptr;
      }
    } else {
      mixer->Remove(&voice_);
    }
    // The voice leaves the mixer before it is freed.
    delete this;
  }
  return left;
}

HRESULT IDirectSoundBuffer::GetStatus(DWORD* status) {
  if (status == nullptr) {
    return DSERR_INVALIDPARAM;
  }
  if (platform::GetDirectSoundFaults().status != DS_OK) {
    return platform::GetDirectSoundFaults().status;
  }
  MixerLock lock(*mixer_);
  if (primary()) {
    *status = primaryPlaying_ ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
  } else if (voice_.memory->lost) {
    voice_.playing = false;
    *status = DSBSTATUS_BUFFERLOST;
  } else {
    *status = voice_.playing ? DSBSTATUS_PLAYING | (voice_.looping ? DSBSTATUS_LOOPING : 0) : 0;
  }
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
  if (primary()) {
    return DSERR_INVALIDCALL;
  }
  MixerLock lock(*mixer_);
  const auto bytes = static_cast<DWORD>((voice_.position >> 32) * 2 * voice_.channels);
  if (play != nullptr) {
    *play = bytes;
  }
  if (write != nullptr) {
    *write = bytes;
  }
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetCurrentPosition(DWORD position) {
  if (primary()) {
    return DSERR_INVALIDCALL;
  }
  MixerLock lock(*mixer_);
  if (position >= voice_.memory->bytes.size()) {
    return DSERR_INVALIDPARAM;
  }
  voice_.position = std::uint64_t{position / (2u * voice_.channels)} << 32;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetFormat(const WAVEFORMATEX* format) {
  if (!primary()) {
    return DSERR_INVALIDCALL;
  }
  if (device_ == nullptr) {
    return DSERR_INVALIDCALL;
  }
  if (device_->level_ < DSSCL_PRIORITY) {
    return DSERR_PRIOLEVELNEEDED;
  }
  // The mixer's own output format stands; any PCM format of one or two channels is taken.
  if (format == nullptr || format->wFormatTag != WAVE_FORMAT_PCM ||
      (format->nChannels != 1 && format->nChannels != 2) ||
      (format->wBitsPerSample != 8 && format->wBitsPerSample != 16)) {
    return DSERR_BADFORMAT;
  }
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetVolume(LONG* volume) {
  if (primary() || (flags_ & DSBCAPS_CTRLVOLUME) == 0) {
    return DSERR_CONTROLUNAVAIL;
  }
  if (volume == nullptr) {
    return DSERR_INVALIDPARAM;
  }
  std::lock_guard<std::mutex> lock(mixer_->mutex());
  *volume = voice_.volume;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetPan(LONG* pan) {
  if (primary() || (flags_ & DSBCAPS_CTRLPAN) == 0) {
    return DSERR_CONTROLUNAVAIL;
  }
  if (pan == nullptr) {
    return DSERR_INVALIDPARAM;
  }
  std::lock_guard<std::mutex> lock(mixer_->mutex());
  *pan = voice_.pan;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetFrequency(DWORD* frequency) {
  if (primary() || (flags_ & DSBCAPS_CTRLFREQUENCY) == 0) {
    return DSERR_CONTROLUNAVAIL;
  }
  if (frequency == nullptr) {
    return DSERR_INVALIDPARAM;
  }
  std::lock_guard<std::mutex> lock(mixer_->mutex());
  *frequency = voice_.frequency;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetVolume(LONG volume) {
  if (primary() || (flags_ & DSBCAPS_CTRLVOLUME) == 0) {
    return DSERR_CONTROLUNAVAIL;
  }
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) {
    return DSERR_INVALIDPARAM;
  }
  MixerLock lock(*mixer_);
  platform::SetVoiceLevel(voice_, volume, voice_.pan);
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetPan(LONG pan) {
  if (primary() || (flags_ & DSBCAPS_CTRLPAN) == 0) {
    return DSERR_CONTROLUNAVAIL;
  }
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) {
    return DSERR_INVALIDPARAM;
  }
  MixerLock lock(*mixer_);
  platform::SetVoiceLevel(voice_, voice_.volume, pan);
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetFrequency(DWORD frequency) {
  if (primary() || (flags_ & DSBCAPS_CTRLFREQUENCY) == 0) {
    return DSERR_CONTROLUNAVAIL;
  }
  if (frequency != DSBFREQUENCY_ORIGINAL &&
      (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) {
    return DSERR_INVALIDPARAM;
  }
  MixerLock lock(*mixer_);
  voice_.frequency = frequency == DSBFREQUENCY_ORIGINAL ? voice_.formatRate : frequency;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Play(DWORD reserved, DWORD /*priority*/, DWORD flags) {
  if (reserved != 0 || (flags & ~DSBPLAY_LOOPING) != 0) {
    return DSERR_INVALIDPARAM;
  }
  if (primary()) {
    if ((flags & DSBPLAY_LOOPING) == 0) {
      return DSERR_INVALIDPARAM;
    }
    primaryPlaying_ = true;
    return DS_OK;
  }
  MixerLock lock(*mixer_);
  if (voice_.memory->lost) {
    return DSERR_BUFFERLOST;
  }
  voice_.playing = true;
  voice_.looping = (flags & DSBPLAY_LOOPING) != 0;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Stop() {
  if (primary()) {
    primaryPlaying_ = false;
    return DS_OK;
  }
  MixerLock lock(*mixer_);
  voice_.playing = false;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes,
                                 void** second, DWORD* secondBytes, DWORD /*flags*/) {
  if (primary()) {
    return DSERR_INVALIDCALL;
  }
  if (first == nullptr || firstBytes == nullptr) {
    return DSERR_INVALIDPARAM;
  }
  MixerLock lock(*mixer_);
  const std::vector<std::uint8_t>& memory = voice_.memory->bytes;
  if (offset >= memory.size() || bytes == 0 || bytes > memory.size()) {
    return DSERR_INVALIDPARAM;
  }
  if (voice_.memory->lost) {
    return DSERR_BUFFERLOST;
  }
  if (!platform::AllocationAllowed(bytes)) {
    return DSERR_OUTOFMEMORY;
  }
  const DWORD head = std::min<DWORD>(bytes, static_cast<DWORD>(memory.size()) - offset);
  LockedRegion& region = locked_.emplace_back(LockedRegion{offset, head, {}});
  region.bytes.reserve(bytes);
  region.bytes.insert(region.bytes.end(), memory.begin() + offset, memory.begin() + offset + head);
  region.bytes.insert(region.bytes.end(), memory.begin(), memory.begin() + (bytes - head));
  *first = region.bytes.data();
  *firstBytes = head;
  if (second != nullptr) {
    *second = head < bytes ? region.bytes.data() + head : nullptr;
  }
  if (secondBytes != nullptr) {
    *secondBytes = bytes - head;
  }
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Unlock(void* first, DWORD firstBytes, void* /*second*/,
                                   DWORD secondBytes) {
  if (primary()) {
    return DSERR_INVALIDCALL;
  }
  MixerLock lock(*mixer_);
  const auto region = std::find_if(locked_.begin(), locked_.end(), [first](const LockedRegion& r) {
    return first != nullptr && r.bytes.data() == first;
  });
  if (region == locked_.end()) {
    return DSERR_INVALIDPARAM;
  }
  // A loss since Lock took the memory the copy was meant for.
  if (!voice_.memory->lost) {
    std::uint8_t* memory = voice_.memory->bytes.data();
    const DWORD tail = static_cast<DWORD>(region->bytes.size()) - region->head;
    std::copy_n(region->bytes.begin(), std::min(firstBytes, region->head), memory + region->offset);
    std::copy_n(region->bytes.begin() + region->head, std::min(secondBytes, tail), memory);
  }
  locked_.erase(region);
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Restore() {
  if (platform::GetDirectSoundFaults().restore != DS_OK) {
    return platform::GetDirectSoundFaults().restore;
  }
  if (primary()) {
    return DS_OK;
  }
  MixerLock lock(*mixer_);
  voice_.memory->lost = false;
  return DS_OK;
}

namespace platform {

void LoseSoundBuffer(IDirectSoundBuffer* buffer) {
  if (buffer == nullptr || buffer->primary()) {
    return;
  }
  MixerLock lock(*buffer->mixer_);
  SoundMemory& memory = *buffer->voice_.memory;
  memory.lost = true;
  std::fill(memory.bytes.begin(), memory.bytes.end(), 0);
  buffer->voice_.playing = false;
}

}  // namespace platform
