// RIFF/WAVE images of 16-bit mono PCM samples.
#pragma once

#include <cstdint>
#include <vector>

namespace mkdata {

struct WaveImage {
  std::uint32_t sampleRate = 0;
  std::vector<std::int16_t> samples;
  // A "smpl" chunk after the samples naming the whole image as one forward loop.
  bool sampleChunk = false;
};

// "RIFF", size, "WAVE", a 16-byte "fmt " chunk (PCM, 1 channel, 16 bits), "data", and the "smpl"
// chunk when asked for.
std::vector<std::uint8_t> BuildWave(const WaveImage& image);

}  // namespace mkdata
