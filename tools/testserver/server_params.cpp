#include "tools/testserver/server_params.h"

#include <bit>
#include <cstddef>

#include "base/byte_writer.h"

namespace {

constexpr std::uint32_t ToFloatBits(float value) { return std::bit_cast<std::uint32_t>(value); }

struct FlareElement {
  std::uint32_t type;
  float distance;
  float scale;
  std::uint32_t red;
  std::uint32_t green;
  std::uint32_t blue;
};

// The lens flare of the arena's default sky: eight elements along the line through the sun.
constexpr std::array<FlareElement, 8> kFlare = {{
    {0, -0.2f, 0.125f, 255, 255, 255},
    {0, 0.8f, 0.175f, 0, 0, 255},
    {0, 0.85f, 0.2f, 0, 0, 255},
    {0, 0.95f, 0.4f, 255, 255, 255},
    {0, 0.98f, 0.5f, 255, 0, 255},
    {1, 0.55f, 0.15f, 255, 0, 0},
    {1, 0.9f, 0.3f, 0, 255, 0},
    {1, 1.15f, 0.25f, 0, 0, 255},
}};

void PutWord(arena::ByteWriter& out, std::uint32_t word) { out.U32(word); }

}  // namespace

std::array<std::uint32_t, GAME_PARAM_COUNT> MakeServerParamWords() {
  std::array<std::uint32_t, GAME_PARAM_COUNT> words{};  // unused rows are sent as 0
  for (const ParamDefault& row : kGameParamDefaults) {
    words[row.row] = row.word;
  }
  return words;
}

std::vector<std::uint8_t> MakeServerGlobalParamsPayload() {
  arena::ByteWriter out;
  PutWord(out, 200);                  // state report interval, ms
  PutWord(out, ToFloatBits(500.0f));  // far distance
  PutWord(out, ToFloatBits(160.0f));  // world ceiling
  PutWord(out, ToFloatBits(-16.0f));  // gravity: pulls down
  for (int i = 4; i < 10; ++i) {
    PutWord(out, 0);  // not used by the client
  }
  PutWord(out, ToFloatBits(150.0f));  // defense tower range
  // The sky: sun, moon and the two cloud layers.
  PutWord(out, 1440);                  // sun orbit period
  PutWord(out, ToFloatBits(150.0f));   // sun scale
  PutWord(out, 128);                   // sun translucency
  PutWord(out, 4000);                  // moon orbit period
  PutWord(out, ToFloatBits(45.0f));    // moon scale
  PutWord(out, 128);                   // moon translucency
  PutWord(out, ToFloatBits(15.0f));    // moon elliptic angle
  PutWord(out, ToFloatBits(0.005f));   // near cloud layer velocity
  PutWord(out, 128);                   // near cloud layer translucency
  PutWord(out, ToFloatBits(0.0005f));  // far cloud layer velocity
  for (const FlareElement& element : kFlare) {
    PutWord(out, element.type);
    PutWord(out, ToFloatBits(element.distance));
    PutWord(out, ToFloatBits(element.scale));
    PutWord(out, element.red);
    PutWord(out, element.green);
    PutWord(out, element.blue);
  }
  PutWord(out, ToFloatBits(1.2f));  // sun fog scale
  PutWord(out, ToFloatBits(1.5f));  // lens flare fog scale
  return out.Take();
}
