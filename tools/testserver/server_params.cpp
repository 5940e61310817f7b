#include "tools/testserver/server_params.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>

#include "base/byte_writer.h"

namespace {

constexpr std::uint32_t ToFloatBits(float value) { return std::bit_cast<std::uint32_t>(value); }

// One word of the GLOBAL_PARAMS_PASS record: its index, what it holds and the server's value.
struct GlobalParamRow {
  std::size_t word;
  const char* name;
  std::uint32_t value;
};

constexpr GlobalParamRow Integer(std::size_t word, const char* name, std::uint32_t value) {
  return {word, name, value};
}
constexpr GlobalParamRow Float(std::size_t word, const char* name, float value) {
  return {word, name, ToFloatBits(value)};
}

// A lens-flare element: six words from `first`.
constexpr std::array<GlobalParamRow, 6> FlareElement(std::size_t first, std::uint32_t type,
                                                     float distance, float scale, std::uint32_t red,
                                                     std::uint32_t green, std::uint32_t blue) {
  return {{Integer(first, "flare element type", type),
           Float(first + 1, "flare element distance", distance),
           Float(first + 2, "flare element scale", scale), Integer(first + 3, "flare red", red),
           Integer(first + 4, "flare green", green), Integer(first + 5, "flare blue", blue)}};
}

template <std::size_t... N>
constexpr auto Join(const std::array<GlobalParamRow, N>&... parts) {
  std::array<GlobalParamRow, (N + ...)> rows{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), rows.begin() + static_cast<std::ptrdiff_t>(at)), at += N),
   ...);
  return rows;
}

// The server's record, word by word. Words 4-9 are not used by the client and are sent as 0;
// the lens flare of the arena's default sky has eight elements along the line through the sun.
constexpr auto kServerGlobalParams = Join(
    std::array{
        Integer(0, "state report interval, ms", 200),
        Float(1, "far distance", 500.0f),
        Float(2, "world ceiling", 160.0f),
        Float(3, "gravity", -16.0f),
        Integer(4, "unused", 0),
        Integer(5, "unused", 0),
        Integer(6, "unused", 0),
        Integer(7, "unused", 0),
        Integer(8, "unused", 0),
        Integer(9, "unused", 0),
        Float(10, "defense tower range", 150.0f),
        Integer(11, "sun orbit period", 1440),
        Float(12, "sun scale", 150.0f),
        Integer(13, "sun translucency", 128),
        Integer(14, "moon orbit period", 4000),
        Float(15, "moon scale", 45.0f),
        Integer(16, "moon translucency", 128),
        Float(17, "moon elliptic angle", 15.0f),
        Float(18, "near cloud layer velocity", 0.005f),
        Integer(19, "near cloud layer translucency", 128),
        Float(20, "far cloud layer velocity", 0.0005f),
    },
    FlareElement(21, 0, -0.2f, 0.125f, 255, 255, 255), FlareElement(27, 0, 0.8f, 0.175f, 0, 0, 255),
    FlareElement(33, 0, 0.85f, 0.2f, 0, 0, 255), FlareElement(39, 0, 0.95f, 0.4f, 255, 255, 255),
    FlareElement(45, 0, 0.98f, 0.5f, 255, 0, 255), FlareElement(51, 1, 0.55f, 0.15f, 255, 0, 0),
    FlareElement(57, 1, 0.9f, 0.3f, 0, 255, 0), FlareElement(63, 1, 1.15f, 0.25f, 0, 0, 255),
    std::array{
        Float(69, "sun fog scale", 1.2f),
        Float(70, "lens flare fog scale", 1.5f),
    });

// Every word of the 284-byte record once, in order.
constexpr bool RowsFillTheRecord() {
  for (std::size_t i = 0; i < kServerGlobalParams.size(); ++i) {
    if (kServerGlobalParams[i].word != i) {
      return false;
    }
  }
  return kServerGlobalParams.size() * 4 == 284;
}
static_assert(RowsFillTheRecord());

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
  for (const GlobalParamRow& row : kServerGlobalParams) {
    out.U32(row.value);
  }
  return out.Take();
}
