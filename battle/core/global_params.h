// GlobalParams: the arena-wide values of GLOBAL_PARAMS_PASS, which the server sends at login and
// may send again in play. They are spread over the game session (GlobalParamValues) and the
// arena's share (ArenaGlobalParams).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The record is 71 little-endian u32 words. The network client drops shorter payloads; longer
// ones are read for their first 284 bytes (the login itself accepts exactly 284).
inline constexpr std::size_t GLOBAL_PARAMS_SIZE = 284;
inline constexpr std::size_t SKY_PARAM_WORDS = 13;
inline constexpr std::size_t SKY_COLOUR_GROUPS = 8;
// Each colour group carries three words after its colour, except the last, which carries two: the
// record ends there.
inline constexpr std::size_t SKY_GROUP_WORDS = 3;
inline constexpr std::size_t SKY_LAST_GROUP_WORDS = 2;

// Three colour bytes (the low bytes of three words of the record), then three words.
struct SkyColourGroup {
  std::array<std::uint8_t, 3> colour{};
  std::array<std::uint32_t, SKY_GROUP_WORDS> words{};
};

// The record, word by word. Words 4-9 are not used by the client and are not kept.
struct GlobalParams {
  std::uint32_t stateReportInterval = 0;  // word 0, ms
  float farDistance = 0.0f;               // word 1
  float worldCeiling = 0.0f;              // word 2
  float gravity = 0.0f;                   // word 3
  float defenseRange = 0.0f;              // word 10, the defense towers' tracking value
  std::array<std::uint32_t, SKY_PARAM_WORDS> skyWords{};         // words 11-23
  std::array<SkyColourGroup, SKY_COLOUR_GROUPS> colourGroups{};  // words 24-70
};

// The record in the first GLOBAL_PARAMS_SIZE bytes of the payload; nothing when it is shorter.
std::optional<GlobalParams> ParseGlobalParams(std::span<const std::uint8_t> payload);

// The game session's share of the record: its state report interval and the sky state's
// parameter words and colour groups.
struct GlobalParamValues {
  std::uint32_t stateReportInterval = 0;  // ms between the own tank's state reports
  std::array<std::uint32_t, SKY_PARAM_WORDS> skyWords{};
  std::array<SkyColourGroup, SKY_COLOUR_GROUPS> colourGroups{};
};

// The arena's share of the record, which the arena objects read. Owner: the game session, whose
// ApplyGlobalParams writes it at login and in play and whose world start sets the ceiling; it
// lasts as long as the library (the world stop keeps it). The names the arena objects use are
// references to the members.
struct ArenaGlobalParams {
  // Far (yon) distance; 500.0 until the server sends one. The world start copies it to the
  // session.
  float farDistance = 500.0f;
  // The arena's ceiling: the world start takes it from the arena map, a record received in play
  // from the record.
  float worldCeiling = 0.0f;
  // The arena's gravity for the ballistic motion step; MSG_SET_GRAVITY replaces it.
  float gravity = 0.0f;
  // The firing range of the defense towers; 0 until sent.
  float defenseRange = 0.0f;
};

extern ArenaGlobalParams gArenaGlobalParams;

inline float& gFarDistance = gArenaGlobalParams.farDistance;
inline float& gWorldCeiling = gArenaGlobalParams.worldCeiling;
inline float& gGravity = gArenaGlobalParams.gravity;
inline float& gDefenseRange = gArenaGlobalParams.defenseRange;

// Applies a GLOBAL_PARAMS_PASS payload: the session's values and the arena's share. A payload
// shorter than GLOBAL_PARAMS_SIZE changes nothing and gives false. The session then has its
// atmosphere take the sky words, light the current time-of-day step and start the day clock and
// the weather level over (CAtmosphere::ApplyGlobalParams).
bool ApplyGlobalParams(GlobalParamValues& values, std::span<const std::uint8_t> payload);
