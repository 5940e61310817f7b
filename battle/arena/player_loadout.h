// The vehicle the design screen configured, as the player's tank reads it: the chassis and the
// fifteen bays, each with its catalogue record (null for an empty bay), module kind and sub kind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kLoadoutBays = 15;

struct LoadoutBay {
  const void* record = nullptr;
  std::int32_t kind = 0;
  std::int32_t subKind = 0;
};

struct LoadoutConfig {
  std::uint32_t chassis = 0;
  std::array<LoadoutBay, kLoadoutBays> bays{};
};
