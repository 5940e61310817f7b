#include "battle/core/global_params.h"

#include <bit>

#include "base/byte_reader.h"
#include "common/messages.h"

// The record read here is the one the message catalogue gives for GLOBAL_PARAMS_PASS.
static_assert(FindMessageInfo(GLOBAL_PARAMS_PASS)->received == ExactPayload(GLOBAL_PARAMS_SIZE));

ArenaGlobalParams gArenaGlobalParams;

namespace {

constexpr std::size_t WORD_STATE_REPORT_INTERVAL = 0;
constexpr std::size_t WORD_FAR_DISTANCE = 1;
constexpr std::size_t WORD_WORLD_CEILING = 2;
constexpr std::size_t WORD_GRAVITY = 3;
constexpr std::size_t WORD_DEFENSE_RANGE = 10;
constexpr std::size_t WORD_FIRST_SKY = 11;
constexpr std::size_t WORD_FIRST_GROUP = WORD_FIRST_SKY + SKY_PARAM_WORDS;
constexpr std::size_t GROUP_STRIDE = 3 + SKY_GROUP_WORDS;

static_assert(WORD_FIRST_GROUP + (SKY_COLOUR_GROUPS - 1) * GROUP_STRIDE + 3 +
                  SKY_LAST_GROUP_WORDS ==
              GLOBAL_PARAMS_SIZE / 4);

// The last group's third word lies past the end of the record.
constexpr std::size_t GroupWordCount(std::size_t group) {
  return group + 1 < SKY_COLOUR_GROUPS ? SKY_GROUP_WORDS : SKY_LAST_GROUP_WORDS;
}

// Word `index` of the record.
std::uint32_t ReadWord(std::span<const std::uint8_t> payload, std::size_t index) {
  arena::ByteReader reader(payload);
  reader.Seek(index * 4);
  return reader.U32();
}

float ReadFloat(std::span<const std::uint8_t> payload, std::size_t index) {
  return std::bit_cast<float>(ReadWord(payload, index));
}

}  // namespace

std::optional<GlobalParams> ParseGlobalParams(std::span<const std::uint8_t> payload) {
  if (payload.size() < GLOBAL_PARAMS_SIZE) {
    return std::nullopt;
  }
  GlobalParams record;
  record.stateReportInterval = ReadWord(payload, WORD_STATE_REPORT_INTERVAL);
  record.farDistance = ReadFloat(payload, WORD_FAR_DISTANCE);
  record.worldCeiling = ReadFloat(payload, WORD_WORLD_CEILING);
  record.gravity = ReadFloat(payload, WORD_GRAVITY);
  record.defenseRange = ReadFloat(payload, WORD_DEFENSE_RANGE);
  for (std::size_t i = 0; i < SKY_PARAM_WORDS; ++i) {
    record.skyWords[i] = ReadWord(payload, WORD_FIRST_SKY + i);
  }
  for (std::size_t k = 0; k < SKY_COLOUR_GROUPS; ++k) {
    SkyColourGroup& group = record.colourGroups[k];
    const std::size_t first = WORD_FIRST_GROUP + k * GROUP_STRIDE;
    for (std::size_t c = 0; c < group.colour.size(); ++c) {
      group.colour[c] = static_cast<std::uint8_t>(ReadWord(payload, first + c));
    }
    for (std::size_t w = 0; w < GroupWordCount(k); ++w) {
      group.words[w] = ReadWord(payload, first + 3 + w);
    }
  }
  return record;
}

bool ApplyGlobalParams(GlobalParamValues& values, std::span<const std::uint8_t> payload) {
  const std::optional<GlobalParams> record = ParseGlobalParams(payload);
  if (!record) {
    return false;
  }
  values.stateReportInterval = record->stateReportInterval;
  gFarDistance = record->farDistance;
  gGravity = record->gravity;
  gWorldCeiling = record->worldCeiling - 0.05f;
  gDefenseRange = record->defenseRange;
  values.skyWords = record->skyWords;
  for (std::size_t k = 0; k < SKY_COLOUR_GROUPS; ++k) {
    SkyColourGroup& group = values.colourGroups[k];
    const SkyColourGroup& sent = record->colourGroups[k];
    group.colour = sent.colour;
    // A word that the record does not carry keeps what it held.
    for (std::size_t w = 0; w < GroupWordCount(k); ++w) {
      group.words[w] = sent.words[w];
    }
  }
  return true;
}
