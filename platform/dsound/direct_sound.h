// The DirectSound object: the one output device, its mixer, and buffer creation.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/com/guid.h"
#include "platform/dsound/direct_sound_buffer.h"
#include "platform/dsound/direct_sound_types.h"
#include "platform/window/handles.h"

namespace platform {

class SoundOutput;

// The living device's capture: the stereo frames mixed since the last take, up to the process
// clock's now (interleaved left, right). Empty without a device or with an audio device.
std::vector<std::int16_t> TakeSoundOutput();

}  // namespace platform

class IDirectSound {
 public:
  IDirectSound(const IDirectSound&) = delete;
  IDirectSound& operator=(const IDirectSound&) = delete;

  ULONG AddRef();
  // Returns the remaining count; at 0 the output stops. Buffers live on their own counts; a
  // primary buffer that outlives its device refuses SetFormat.
  ULONG Release();
  // DSSCL_NORMAL, DSSCL_PRIORITY or DSSCL_EXCLUSIVE for an existing window.
  HRESULT SetCooperativeLevel(HWND window, DWORD level);
  HRESULT GetCaps(DSCAPS* caps);
  // The primary buffer (DSBCAPS_PRIMARYBUFFER, no size, no format; one at a time) or a secondary
  // buffer of 16-bit PCM, one or two channels, 100 to 100000 Hz, of dwBufferBytes (> 0) bytes.
  HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out, LPUNKNOWN outer);
  // A new secondary buffer over the original's samples, with its format, flags, volume, pan and
  // frequency, stopped at position 0.
  HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out);

 private:
  friend HRESULT DirectSoundCreate(GUID*, IDirectSound**, LPUNKNOWN);
  friend class IDirectSoundBuffer;
  friend std::vector<std::int16_t> platform::TakeSoundOutput();
  IDirectSound();
  ~IDirectSound();

  std::atomic<ULONG> references_{1};
  DWORD level_ = 0;
  // The primary buffer while it lives; it outlives the device without reaching it.
  IDirectSoundBuffer* primary_ = nullptr;
  std::shared_ptr<platform::SoundMixer> mixer_;
  std::unique_ptr<platform::SoundOutput> output_;
};

// The default device (`device` must be null), one object at a time: DSERR_ALLOCATED while another
// lives. It plays through the SDL2 audio device when the SDL2 display runs (ARENA_DISPLAY=sdl)
// and one opens; otherwise a mixer thread mixes into a capture that tests read.
HRESULT DirectSoundCreate(GUID* device, IDirectSound** out, LPUNKNOWN outer);
