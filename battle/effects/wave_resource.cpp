#include "battle/effects/wave_resource.h"

#include <cstring>

#include "base/byte_reader.h"

namespace {

constexpr std::uint32_t kMinFormatSize = 14;
constexpr std::uint64_t kFirstChunk = 12;
constexpr std::uint64_t kChunkHeader = 8;

bool IdIs(const char (&id)[4], const char* expected) { return std::memcmp(id, expected, 4) == 0; }

// The WAV resource's bytes, or an empty span.
std::span<const std::uint8_t> ResourceBytes(HMODULE module, const char* name) {
  HRSRC resource = FindResourceA(module, name, "WAV");
  if (resource == nullptr) {
    return {};
  }
  const auto* bytes =
      static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
  if (bytes == nullptr) {
    return {};
  }
  return {bytes, SizeofResource(module, resource)};
}

// Copies the samples into the buffer from its start: 1 on success.
int FillBuffer(IDirectSoundBuffer* buffer, const std::uint8_t* data, DWORD size) {
  void* first = nullptr;
  DWORD firstBytes = 0;
  void* second = nullptr;
  DWORD secondBytes = 0;
  if (buffer->Lock(0, size, &first, &firstBytes, &second, &secondBytes, 0) != DS_OK) {
    return 0;
  }
  std::memcpy(first, data, firstBytes);
  if (second != nullptr) {
    std::memcpy(second, data + firstBytes, secondBytes);
  }
  buffer->Unlock(first, firstBytes, second, secondBytes);
  return 1;
}

void ReleaseFully(IDirectSoundBuffer* buffer) {
  while (buffer->Release() != 0) {
  }
}

}  // namespace

int ParseWave(std::span<const std::uint8_t> image, std::span<const std::uint8_t>* format,
              const std::uint8_t** data, DWORD* size) {
  if (format != nullptr) {
    *format = {};
  }
  if (data != nullptr) {
    *data = nullptr;
  }
  if (size != nullptr) {
    *size = 0;
  }
  arena::ByteReader header(image);
  char riff[4];
  char wave[4];
  header.Bytes(riff, 4);
  const std::uint32_t riffSize = header.U32();
  header.Bytes(wave, 4);
  if (!header.ok() || !IdIs(riff, "RIFF") || !IdIs(wave, "WAVE")) {
    return 0;
  }
  // 64-bit, so that no RIFF or chunk size can wrap the walk back into the image.
  const std::uint64_t end = kChunkHeader + riffSize;
  const std::uint64_t imageSize = image.size();
  const bool wantFormat = format != nullptr;
  const bool wantData = data != nullptr || size != nullptr;
  bool formatFound = false;
  bool dataFound = false;
  for (std::uint64_t at = kFirstChunk; at < end;) {
    if (at + kChunkHeader > imageSize) {
      return 0;
    }
    arena::ByteReader chunk(image.subspan(at));
    char id[4];
    chunk.Bytes(id, 4);
    const std::uint32_t chunkSize = chunk.U32();
    const std::uint64_t dataAt = at + kChunkHeader;
    const bool inImage = dataAt + chunkSize <= imageSize;
    if (IdIs(id, "fmt ") && wantFormat && !formatFound) {
      if (chunkSize < kMinFormatSize || !inImage) {
        return 0;
      }
      *format = image.subspan(dataAt, chunkSize);
      formatFound = true;
      if (!wantData || dataFound) {
        return 1;
      }
    } else if (IdIs(id, "data") && wantData && !dataFound) {
      if (!inImage) {
        return 0;
      }
      if (data != nullptr) {
        *data = image.data() + dataAt;
      }
      if (size != nullptr) {
        *size = chunkSize;
      }
      dataFound = true;
      if (!wantFormat || formatFound) {
        return 1;
      }
    }
    at = dataAt + chunkSize + (chunkSize & 1);
  }
  return 0;
}

std::optional<WAVEFORMATEX> ReadWaveFormat(std::span<const std::uint8_t> chunk) {
  if (chunk.size() < kMinFormatSize) {
    return std::nullopt;
  }
  arena::ByteReader reader(chunk);
  WAVEFORMATEX format{};
  format.wFormatTag = reader.U16();
  format.nChannels = reader.U16();
  format.nSamplesPerSec = reader.U32();
  format.nAvgBytesPerSec = reader.U32();
  format.nBlockAlign = reader.U16();
  if (reader.remaining() >= 2) {
    format.wBitsPerSample = reader.U16();
  }
  if (reader.remaining() >= 2) {
    format.cbSize = reader.U16();
  }
  return format;
}

IDirectSoundBuffer* LoadWaveBuffer(IDirectSound* directSound, HMODULE module, const char* name,
                                   DWORD flags) {
  const std::span<const std::uint8_t> image = ResourceBytes(module, name);
  std::span<const std::uint8_t> formatChunk;
  const std::uint8_t* data = nullptr;
  DWORD size = 0;
  if (image.empty() || ParseWave(image, &formatChunk, &data, &size) == 0) {
    return nullptr;
  }
  const std::optional<WAVEFORMATEX> format = ReadWaveFormat(formatChunk);
  const DSBUFFERDESC desc{sizeof(DSBUFFERDESC), flags, size, 0, format ? &*format : nullptr};
  IDirectSoundBuffer* buffer = nullptr;
  if (directSound->CreateSoundBuffer(&desc, &buffer, nullptr) != DS_OK) {
    return nullptr;
  }
  if (data == nullptr || size == 0 || FillBuffer(buffer, data, size) == 0) {
    ReleaseFully(buffer);
    return nullptr;
  }
  return buffer;
}

int ReloadWaveBuffer(IDirectSoundBuffer* buffer, HMODULE module, const char* name) {
  const std::span<const std::uint8_t> image = ResourceBytes(module, name);
  const std::uint8_t* data = nullptr;
  DWORD size = 0;
  if (image.empty() || ParseWave(image, nullptr, &data, &size) == 0) {
    return 0;
  }
  if (buffer->Restore() != DS_OK) {
    return 0;
  }
  return FillBuffer(buffer, data, size);
}
