// Faults that tests script into DirectSound: each field is the answer of its call while it is not
// DS_OK, and the device's capabilities are as given.
#pragma once

#include "platform/dsound/direct_sound_types.h"

namespace platform {

struct DirectSoundFaults {
  HRESULT create = DS_OK;            // DirectSoundCreate
  HRESULT cooperativeLevel = DS_OK;  // IDirectSound::SetCooperativeLevel
  HRESULT caps = DS_OK;              // IDirectSound::GetCaps
  HRESULT primary = DS_OK;           // creating the primary buffer
  HRESULT duplicate = DS_OK;         // IDirectSound::DuplicateSoundBuffer
  HRESULT status = DS_OK;            // IDirectSoundBuffer::GetStatus
  HRESULT restore = DS_OK;           // IDirectSoundBuffer::Restore
  DWORD capsFlags = DSCAPS_CERTIFIED;
  DWORD freeHwStaticBuffers = 0;
};

const DirectSoundFaults& GetDirectSoundFaults();

// Installs faults for the lifetime of a scope (tests).
class ScopedDirectSoundFaults {
 public:
  explicit ScopedDirectSoundFaults(const DirectSoundFaults& faults);
  ~ScopedDirectSoundFaults();
  ScopedDirectSoundFaults(const ScopedDirectSoundFaults&) = delete;
  ScopedDirectSoundFaults& operator=(const ScopedDirectSoundFaults&) = delete;

 private:
  DirectSoundFaults previous_;
};

}  // namespace platform
