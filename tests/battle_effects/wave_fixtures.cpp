// A resource module of small WAV images for the loader's tests.
#include "platform/kernel/resource.h"

namespace {

// RIFF, size, WAVE, "fmt " 16: PCM, 1 channel, 11025 Hz, 22050 bytes/s, align 2, 16 bits.
#define WAVE_HEADER(riffSize)                                                                    \
  'R', 'I', 'F', 'F', riffSize, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, \
      0, 1, 0, 0x11, 0x2B, 0, 0, 0x22, 0x56, 0, 0, 2, 0

const unsigned char kGood[] = {WAVE_HEADER(40), 16, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 1, 2, 3, 4};
const unsigned char kNoData[] = {
    WAVE_HEADER(40), 16, 0, 'L', 'I', 'S', 'T', 4, 0, 0, 0, 1, 2, 3, 4};
const unsigned char kEightBit[] = {
    WAVE_HEADER(40), 8, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 1, 2, 3, 4};
const unsigned char kEmptyData[] = {WAVE_HEADER(36), 16, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};

}  // namespace

extern "C" const platform::ResourceEntry platform_resource_table[] = {
    {"GOOD", "WAV", kGood, sizeof kGood},
    {"NODATA", "WAV", kNoData, sizeof kNoData},
    {"EIGHTBIT", "WAV", kEightBit, sizeof kEightBit},
    {"EMPTYDATA", "WAV", kEmptyData, sizeof kEmptyData},
    {},
};
