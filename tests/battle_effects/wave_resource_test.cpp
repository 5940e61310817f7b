#include "battle/effects/wave_resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/byte_writer.h"
#include "sound/sound_list.h"
#include "tests/battle_effects/sound_fixture.h"

namespace {

struct Chunk {
  std::string id;
  std::vector<std::uint8_t> bytes;
  std::uint32_t declaredSize = 0;  // 0: the real size
};

Chunk Format(std::size_t size = 16) {
  arena::ByteWriter out;
  out.U16(1);
  out.U16(1);
  out.U32(11025);
  out.U32(22050);
  out.U16(2);
  out.U16(16);
  std::vector<std::uint8_t> bytes = out.bytes();
  bytes.resize(size);
  return {"fmt ", bytes};
}

Chunk Data(std::size_t size = 6) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i + 1);
  }
  return {"data", bytes};
}

// A RIFF/WAVE image of the chunks, each padded to an even size; riffSize 0: the real size.
std::vector<std::uint8_t> Image(const std::vector<Chunk>& chunks, std::uint32_t riffSize = 0,
                                const char* form = "WAVE") {
  arena::ByteWriter out;
  out.Bytes("RIFF", 4);
  out.U32(0);
  out.Bytes(form, 4);
  for (const Chunk& chunk : chunks) {
    out.Bytes(chunk.id.data(), 4);
    out.U32(chunk.declaredSize != 0 ? chunk.declaredSize
                                    : static_cast<std::uint32_t>(chunk.bytes.size()));
    out.Bytes(chunk.bytes.data(), chunk.bytes.size());
    if (chunk.bytes.size() % 2 != 0) {
      out.U8(0xEE);
    }
  }
  out.PatchU32(4, riffSize != 0 ? riffSize : static_cast<std::uint32_t>(out.size() - 8));
  return out.bytes();
}

struct Parsed {
  int result;
  std::span<const std::uint8_t> format;
  const std::uint8_t* data;
  DWORD size;
};

Parsed ParseAll(const std::vector<std::uint8_t>& image) {
  Parsed parsed{};
  parsed.result = ParseWave(image, &parsed.format, &parsed.data, &parsed.size);
  return parsed;
}

TEST(ParseWave, FindsFormatAndDataInEitherOrderPastOtherChunks) {
  const struct {
    const char* name;
    std::vector<Chunk> chunks;
  } cases[] = {
      {"fmt then data", {Format(), Data()}},
      {"data before fmt", {Data(), Format()}},
      {"odd chunk and its pad byte first", {{"LIST", {1, 2, 3}}, Format(), Data(5)}},
      {"fmt of 14 bytes", {Format(14), Data()}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint8_t> image = Image(c.chunks);
    const Parsed parsed = ParseAll(image);
    ASSERT_EQ(parsed.result, 1);
    ASSERT_FALSE(parsed.format.empty());
    EXPECT_EQ(parsed.format[0], 1);  // PCM
    std::size_t formatSize = 0;
    std::size_t dataSize = 0;
    for (const Chunk& chunk : c.chunks) {
      (chunk.id == "fmt "   ? formatSize
       : chunk.id == "data" ? dataSize
                            : formatSize) += chunk.id == "LIST" ? 0 : chunk.bytes.size();
    }
    EXPECT_EQ(parsed.format.size(), formatSize);
    ASSERT_NE(parsed.data, nullptr);
    EXPECT_EQ(parsed.size, dataSize);
    EXPECT_EQ(parsed.data[0], 1);
    EXPECT_EQ(parsed.data[dataSize - 1], dataSize);
  }
}

TEST(ParseWave, RefusesWhatIsNotAUsableWave) {
  std::vector<std::uint8_t> truncated = Image({Format(), Data(100)});
  truncated.resize(truncated.size() - 50);
  const struct {
    const char* name;
    std::vector<std::uint8_t> image;
  } cases[] = {
      {"not WAVE", Image({Format(), Data()}, 0, "AVI ")},
      {"RIFF size 4", Image({Format(), Data()}, 4)},
      {"fmt of 12 bytes before data", Image({Format(12), Data()})},
      {"no data", Image({Format(), {"smpl", {0, 0, 0, 0}}})},
      {"data beyond the RIFF size", Image({Format(), {"LIST", {1, 2}}, Data()}, 4 + 24 + 10)},
      {"too short for a header", {'R', 'I', 'F', 'F', 40, 0}},
      // Sizes that would wrap a 32-bit walk back to the start, or read past the image.
      {"skipped chunk wrapping the walk",
       Image({{"LIST", {}, 0xFFFFFFF4u}, Format(), Data()}, 0xFFFFFFFFu)},
      {"data past the image", truncated},
      {"RIFF size past the image", Image({Format()}, 0xFFFFFFF8u)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseAll(c.image).result, 0);
  }
}

TEST(ParseWave, LooksOnlyForTheRequestedParts) {
  // The refill asks for data and size only: no "fmt " needed.
  const std::vector<std::uint8_t> dataOnly = Image({Data()});
  const std::uint8_t* data = nullptr;
  DWORD size = 0;
  EXPECT_EQ(ParseWave(dataOnly, nullptr, &data, &size), 1);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(ParseAll(dataOnly).result, 0);

  // Once format and data are found, a broken chunk after them is never read.
  const std::vector<std::uint8_t> sampled =
      Image({Format(), Data(), {"smpl", {1, 2, 3, 4}, 0xFFFFFFF0u}});
  EXPECT_EQ(ParseAll(sampled).result, 1);

  std::span<const std::uint8_t> format;
  EXPECT_EQ(ParseWave(Image({Format()}), &format, nullptr, nullptr), 1);
  EXPECT_EQ(format.size(), 16u);
}

using WaveResources = SoundFixture;

TEST_F(WaveResources, EveryResourceOfTheLibraryParsesAndLoads) {
  HMODULE module = LoadLibraryA("sound.dll");
  ASSERT_NE(module, nullptr);
  IDirectSound* directSound = nullptr;
  ASSERT_EQ(DirectSoundCreate(nullptr, &directSound, nullptr), DS_OK);
  ASSERT_EQ(directSound->SetCooperativeLevel(window_, DSSCL_EXCLUSIVE), DS_OK);
  for (const sound::SoundListEntry& entry : sound::kSoundList) {
    const std::string name(entry.name);
    SCOPED_TRACE(name);
    HRSRC resource = FindResourceA(module, name.c_str(), "WAV");
    ASSERT_NE(resource, nullptr);
    const std::span<const std::uint8_t> image(
        static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource))),
        SizeofResource(module, resource));
    const std::vector<std::uint8_t> copy(image.begin(), image.end());
    const Parsed parsed = ParseAll(copy);
    ASSERT_EQ(parsed.result, 1);
    const std::optional<WAVEFORMATEX> format = ReadWaveFormat(parsed.format);
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format->nChannels, 1);
    EXPECT_EQ(format->wBitsPerSample, 16);
    EXPECT_EQ(format->nSamplesPerSec, name == "LOOPRAIN" ? 22050u : 11025u);

    IDirectSoundBuffer* buffer = LoadWaveBuffer(directSound, module, name.c_str(), DSBCAPS_STATIC);
    ASSERT_NE(buffer, nullptr);
    void* first = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(buffer->Lock(0, parsed.size, &first, &bytes, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(bytes, parsed.size);
    EXPECT_EQ(std::memcmp(first, parsed.data, bytes), 0);
    buffer->Unlock(first, bytes, nullptr, 0);
    EXPECT_EQ(buffer->Release(), 0u);
  }
  EXPECT_EQ(LoadWaveBuffer(directSound, module, "NOSUCHSOUND", DSBCAPS_STATIC), nullptr);
  directSound->Release();
  FreeLibrary(module);
}

TEST_F(WaveResources, AResourceWithoutDataOrOfAnUnplayableFormatGivesNoBuffer) {
  HMODULE module = LoadLibraryA("wave_fixtures.dll");
  ASSERT_NE(module, nullptr);
  IDirectSound* directSound = nullptr;
  ASSERT_EQ(DirectSoundCreate(nullptr, &directSound, nullptr), DS_OK);
  ASSERT_EQ(directSound->SetCooperativeLevel(window_, DSSCL_EXCLUSIVE), DS_OK);
  IDirectSoundBuffer* good = LoadWaveBuffer(directSound, module, "GOOD", DSBCAPS_STATIC);
  ASSERT_NE(good, nullptr);
  good->Release();
  EXPECT_EQ(LoadWaveBuffer(directSound, module, "NODATA", DSBCAPS_STATIC), nullptr);
  EXPECT_EQ(LoadWaveBuffer(directSound, module, "EIGHTBIT", DSBCAPS_STATIC), nullptr);
  EXPECT_EQ(LoadWaveBuffer(directSound, module, "EMPTYDATA", DSBCAPS_STATIC), nullptr);
  directSound->Release();
  FreeLibrary(module);
}

}  // namespace
