// A DirectSound buffer: the primary buffer (the mixer's output) or a secondary buffer of 16-bit
// PCM samples that the mixer plays.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dsound/direct_sound_types.h"
#include "platform/dsound/sound_mixer.h"

class IDirectSound;
class IDirectSoundBuffer;

namespace platform {

// Loses a buffer's memory as the device would (tests): it and its duplicates stop, their samples
// become silence, and Play and Lock answer DSERR_BUFFERLOST until Restore.
void LoseSoundBuffer(IDirectSoundBuffer* buffer);

}  // namespace platform

class IDirectSoundBuffer {
 public:
  IDirectSoundBuffer(const IDirectSoundBuffer&) = delete;
  IDirectSoundBuffer& operator=(const IDirectSoundBuffer&) = delete;

  ULONG AddRef();
  // Returns the remaining count; the buffer stops and is gone at 0. Duplicates keep the samples.
  ULONG Release();

  // DSBSTATUS_PLAYING, with DSBSTATUS_LOOPING for a loop; DSBSTATUS_BUFFERLOST when lost.
  HRESULT GetStatus(DWORD* status);
  // Byte offsets of the play position; the write position is the same.
  HRESULT GetCurrentPosition(DWORD* play, DWORD* write);
  HRESULT SetCurrentPosition(DWORD position);
  // The primary buffer only, at DSSCL_PRIORITY or above: a PCM format for the output.
  HRESULT SetFormat(const WAVEFORMATEX* format);
  HRESULT GetVolume(LONG* volume);
  HRESULT GetPan(LONG* pan);
  HRESULT GetFrequency(DWORD* frequency);
  HRESULT SetVolume(LONG volume);
  HRESULT SetPan(LONG pan);
  HRESULT SetFrequency(DWORD frequency);
  // From the current position; with DSBPLAY_LOOPING it runs until stopped. The primary buffer
  // plays only looping. DSERR_BUFFERLOST while the memory is lost.
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
  HRESULT Stop();
  // Two regions of the samples from `offset`, wrapping at the end. DSERR_BUFFERLOST while lost.
  // The regions are a copy of the samples, not the samples the mixer reads, so that a buffer
  // (or a duplicate of it) may be written while it plays: what is written is heard from Unlock
  // on. Several regions may be locked at once; each is written back on its own Unlock.
  HRESULT Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second,
               DWORD* secondBytes, DWORD flags);
  // Writes back the first `firstBytes` and `secondBytes` of the regions that Lock handed out
  // (`first` names them), unless the memory was lost since; DSERR_INVALIDPARAM for any other
  // `first`.
  HRESULT Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes);
  // Gives a lost buffer its memory back (silent until refilled).
  HRESULT Restore();

 private:
  friend class IDirectSound;
  friend void platform::LoseSoundBuffer(IDirectSoundBuffer* buffer);
  IDirectSoundBuffer(std::shared_ptr<platform::SoundMixer> mixer, IDirectSound* device,
                     DWORD flags);
  ~IDirectSoundBuffer();

  bool primary() const { return (flags_ & DSBCAPS_PRIMARYBUFFER) != 0; }

  // A region handed out by Lock: a copy of `bytes.size()` bytes from `offset`, wrapping after
  // `head` of them.
  struct LockedRegion {
    DWORD offset;
    DWORD head;
    std::vector<std::uint8_t> bytes;
  };

  std::atomic<ULONG> references_{1};
  std::shared_ptr<platform::SoundMixer> mixer_;
  IDirectSound* device_;
  DWORD flags_;
  platform::SoundVoice voice_;
  bool primaryPlaying_ = false;
  // Under the mixer's lock.
  std::vector<LockedRegion> locked_;
};
