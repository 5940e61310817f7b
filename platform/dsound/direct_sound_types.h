// DirectSound's result codes, flags and records.
#pragma once

#include "platform/kernel/types.h"

inline constexpr HRESULT DS_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096u);
inline constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x88780101u);
inline constexpr HRESULT DSERR_OUTOFMEMORY = static_cast<HRESULT>(0x88780102u);
inline constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780103u);
inline constexpr HRESULT DSERR_CONTROLUNAVAIL = static_cast<HRESULT>(0x88780104u);
inline constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780105u);
inline constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780106u);
inline constexpr HRESULT DSERR_PRIOLEVELNEEDED = static_cast<HRESULT>(0x88780107u);
inline constexpr HRESULT DSERR_ALLOCATED = static_cast<HRESULT>(0x88780108u);

// Cooperative levels.
inline constexpr DWORD DSSCL_NORMAL = 1;
inline constexpr DWORD DSSCL_PRIORITY = 2;
inline constexpr DWORD DSSCL_EXCLUSIVE = 3;

// Buffer capabilities (DSBUFFERDESC::dwFlags).
inline constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x01;
inline constexpr DWORD DSBCAPS_STATIC = 0x02;
inline constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x08;
inline constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
inline constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;

inline constexpr DWORD DSCAPS_CERTIFIED = 0x40;

inline constexpr DWORD DSBPLAY_LOOPING = 0x01;

// GetStatus: exactly DSBSTATUS_PLAYING for a one-shot that plays.
inline constexpr DWORD DSBSTATUS_PLAYING = 0x01;
inline constexpr DWORD DSBSTATUS_BUFFERLOST = 0x02;
inline constexpr DWORD DSBSTATUS_LOOPING = 0x04;

// Volume in hundredths of a decibel, 0 = full level; pan: negative attenuates the right channel.
inline constexpr LONG DSBVOLUME_MIN = -10000;
inline constexpr LONG DSBVOLUME_MAX = 0;
inline constexpr LONG DSBPAN_LEFT = -10000;
inline constexpr LONG DSBPAN_RIGHT = 10000;
// SetFrequency: 0 goes back to the format's rate; others must lie in this range (Hz).
inline constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
inline constexpr DWORD DSBFREQUENCY_MIN = 100;
inline constexpr DWORD DSBFREQUENCY_MAX = 100000;

inline constexpr WORD WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};

// dwSize must be sizeof(DSBUFFERDESC) (20 in the original's 32-bit layout).
struct DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  const WAVEFORMATEX* lpwfxFormat;
};

// dwSize must be sizeof(DSCAPS); the device fills the rest.
struct DSCAPS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwMinSecondarySampleRate;
  DWORD dwMaxSecondarySampleRate;
  DWORD dwFreeHwMixingStaticBuffers;
  DWORD dwReserved[19];
};
static_assert(sizeof(DSCAPS) == 96);
