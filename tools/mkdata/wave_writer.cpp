#include "tools/mkdata/wave_writer.h"

#include "base/byte_writer.h"

namespace mkdata {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint16_t kBlockAlign = 2;
// "smpl": nine words of header, then one loop record of six words.
constexpr std::uint32_t kSampleChunkSize = 9 * 4 + 6 * 4;

void WriteId(arena::ByteWriter& out, const char (&id)[5]) { out.Bytes(id, 4); }

}  // namespace

std::vector<std::uint8_t> BuildWave(const WaveImage& image) {
  arena::ByteWriter out;
  WriteId(out, "RIFF");
  const std::size_t riffSizeAt = out.size();
  out.U32(0);
  WriteId(out, "WAVE");

  WriteId(out, "fmt ");
  out.U32(16);
  out.U16(kFormatPcm);
  out.U16(1);
  out.U32(image.sampleRate);
  out.U32(image.sampleRate * kBlockAlign);
  out.U16(kBlockAlign);
  out.U16(kBitsPerSample);

  WriteId(out, "data");
  out.U32(static_cast<std::uint32_t>(image.samples.size() * kBlockAlign));
  for (const std::int16_t sample : image.samples) {
    out.I16(sample);
  }

  if (image.sampleChunk) {
    WriteId(out, "smpl");
    out.U32(kSampleChunkSize);
    out.U32(0);                                                     // manufacturer
    out.U32(0);                                                     // product
    out.U32(1000000000u / image.sampleRate);                        // sample period, nanoseconds
    out.U32(60);                                                    // unity note
    out.U32(0);                                                     // pitch fraction
    out.U32(0);                                                     // SMPTE format
    out.U32(0);                                                     // SMPTE offset
    out.U32(1);                                                     // loops
    out.U32(0);                                                     // sampler data
    out.U32(0);                                                     // cue point id
    out.U32(0);                                                     // forward loop
    out.U32(0);                                                     // first sample
    out.U32(static_cast<std::uint32_t>(image.samples.size() - 1));  // last sample
    out.U32(0);                                                     // fraction
    out.U32(0);                                                     // play count: endless
  }
  out.PatchU32(riffSizeAt, static_cast<std::uint32_t>(out.size() - 8));
  return out.bytes();
}

}  // namespace mkdata
