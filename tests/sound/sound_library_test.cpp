#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "platform/kernel/resource.h"
#include "sound/sound_list.h"

namespace {

struct ParsedWave {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t byteRate = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bits = 0;
  std::vector<std::int16_t> samples;
  std::vector<std::string> chunks;  // chunk ids in file order
  std::uint32_t loopStart = 0;
  std::uint32_t loopEnd = 0;
};

// Reads the whole image chunk by chunk; fails the test on any short read or size mismatch.
ParsedWave ReadWave(const std::uint8_t* bytes, std::size_t size) {
  ParsedWave wave;
  arena::ByteReader reader(bytes, size);
  char id[4];
  reader.Bytes(id, 4);
  EXPECT_EQ(std::string(id, 4), "RIFF");
  EXPECT_EQ(reader.U32(), size - 8);
  reader.Bytes(id, 4);
  EXPECT_EQ(std::string(id, 4), "WAVE");
  while (reader.ok() && reader.remaining() > 0) {
    reader.Bytes(id, 4);
    const std::uint32_t chunkSize = reader.U32();
    const std::string name(id, 4);
    wave.chunks.push_back(name);
    arena::ByteReader chunk(reader.Span(chunkSize));
    if (name == "fmt ") {
      EXPECT_EQ(chunkSize, 16u);
      wave.formatTag = chunk.U16();
      wave.channels = chunk.U16();
      wave.sampleRate = chunk.U32();
      wave.byteRate = chunk.U32();
      wave.blockAlign = chunk.U16();
      wave.bits = chunk.U16();
    } else if (name == "data") {
      EXPECT_EQ(chunkSize % 2, 0u);
      for (std::uint32_t i = 0; i < chunkSize / 2; ++i) {
        wave.samples.push_back(chunk.I16());
      }
    } else if (name == "smpl") {
      chunk.Skip(7 * 4);
      EXPECT_EQ(chunk.U32(), 1u);  // one loop
      chunk.Skip(4 + 4 + 4);       // sampler data, cue id, type
      wave.loopStart = chunk.U32();
      wave.loopEnd = chunk.U32();
    }
    EXPECT_TRUE(chunk.ok()) << name;
  }
  EXPECT_TRUE(reader.ok());
  return wave;
}

class SoundLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA("sound.dll");
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { FreeLibrary(module_); }
  HMODULE module_ = nullptr;
};

TEST_F(SoundLibrary, EverySoundIsAWavResourceOfItsFormat) {
  for (const sound::SoundListEntry& entry : sound::kSoundList) {
    const std::string name(entry.name);
    SCOPED_TRACE(name);
    HRSRC found = FindResourceA(module_, name.c_str(), "WAV");
    ASSERT_NE(found, nullptr);
    const auto* bytes =
        static_cast<const std::uint8_t*>(LockResource(LoadResource(module_, found)));
    ASSERT_NE(bytes, nullptr);
    const ParsedWave wave = ReadWave(bytes, SizeofResource(module_, found));

    const std::vector<std::string> chunks = entry.sampleChunk
                                                ? std::vector<std::string>{"fmt ", "data", "smpl"}
                                                : std::vector<std::string>{"fmt ", "data"};
    EXPECT_EQ(wave.chunks, chunks);
    EXPECT_EQ(wave.formatTag, 1);
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.bits, 16);
    EXPECT_EQ(wave.blockAlign, 2);
    EXPECT_EQ(wave.sampleRate, name == "LOOPRAIN" ? 22050u : 11025u);
    EXPECT_EQ(wave.byteRate, wave.sampleRate * 2);
    ASSERT_EQ(wave.samples.size(), std::size_t{wave.sampleRate} * entry.milliseconds / 1000);
    if (entry.sampleChunk) {
      EXPECT_EQ(wave.loopStart, 0u);
      EXPECT_EQ(wave.loopEnd, wave.samples.size() - 1);
    }
  }
  EXPECT_EQ(FindResourceA(module_, "NOSUCHSOUND", "WAV"), nullptr);
}

// Loops run on from their last sample into their first no harder than they move inside; every
// other sound starts and ends in silence. All are loud enough to hear.
TEST_F(SoundLibrary, LoopsHaveNoSeamAndOneShotsEndInSilence) {
  for (const sound::SoundListEntry& entry : sound::kSoundList) {
    const std::string name(entry.name);
    SCOPED_TRACE(name);
    HRSRC found = FindResourceA(module_, name.c_str(), "WAV");
    ASSERT_NE(found, nullptr);
    const ParsedWave wave =
        ReadWave(static_cast<const std::uint8_t*>(LockResource(LoadResource(module_, found))),
                 SizeofResource(module_, found));
    ASSERT_GT(wave.samples.size(), 2u);
    int peak = 0;
    int largestStep = 0;
    for (std::size_t i = 0; i < wave.samples.size(); ++i) {
      peak = std::max(peak, std::abs(int{wave.samples[i]}));
      if (i > 0) {
        largestStep = std::max(largestStep, std::abs(wave.samples[i] - wave.samples[i - 1]));
      }
    }
    EXPECT_GT(peak, 20000);
    if (sound::IsLoop(entry.kind)) {
      EXPECT_LE(std::abs(wave.samples.front() - wave.samples.back()), largestStep);
    } else {
      EXPECT_EQ(wave.samples.front(), 0);
      EXPECT_EQ(wave.samples.back(), 0);
    }
  }
}

}  // namespace
