// The WAV resources of the sound library: RIFF/WAVE images parsed in place, loaded into
// DirectSound buffers and copied again into buffers whose memory was lost.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/dsound.h"
#include "platform/kernel/resource.h"

// Finds the requested parts of a RIFF/WAVE image; each output may be null and only the present
// ones are looked for: the "fmt " chunk's bytes, the "data" chunk's first byte and its size.
// 1 when every requested part was found, else 0. The chunk walk stays inside both the RIFF
// size and the image.
int ParseWave(std::span<const std::uint8_t> image, std::span<const std::uint8_t>* format,
              const std::uint8_t** data, DWORD* size);

// The PCM format record of a "fmt " chunk (at least 14 bytes); the bits per sample are 0 when
// the chunk stops before them.
std::optional<WAVEFORMATEX> ReadWaveFormat(std::span<const std::uint8_t> chunk);

// A new secondary buffer with the flags, holding the module's WAV resource of that name; null on
// any failure.
IDirectSoundBuffer* LoadWaveBuffer(IDirectSound* directSound, HMODULE module, const char* name,
                                   DWORD flags);

// Restores a lost buffer and copies the resource's samples into it again: 1 on success.
int ReloadWaveBuffer(IDirectSoundBuffer* buffer, HMODULE module, const char* name);
