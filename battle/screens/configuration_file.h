// "config.dat": the player's three saved configurations, A, B and C, for each chassis. Little-
// endian: the magic, then 60 records of 15 catalogue slots, chassis by chassis (room for 20),
// configurations A to C within each. A new file holds the magic and zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "battle/screens/design_screen.h"

inline constexpr std::uint32_t kConfigurationMagic = 0xDEADBEEF;
inline constexpr int kConfigurationChassisRoom = 20;
inline constexpr int kConfigurationsPerChassis = 3;
inline constexpr std::size_t kConfigurationRecordSize = kLoadoutSize * 4;
inline constexpr std::size_t kConfigurationFileSize =
    4 + kConfigurationChassisRoom * kConfigurationsPerChassis * kConfigurationRecordSize;
inline constexpr char kConfigurationFileName[] = "config.dat";
// Where a file with a wrong magic is kept when a new one replaces it.
inline constexpr char kDamagedConfigurationFileName[] = "config.dat.bad";

// The record's offset: 4 + (3 x chassis + configuration) x 60.
constexpr std::size_t ConfigurationOffset(int chassis, int configuration) {
  return 4 + static_cast<std::size_t>(kConfigurationsPerChassis * chassis + configuration) *
                 kConfigurationRecordSize;
}

static_assert(kConfigurationFileSize == 3604);
static_assert(ConfigurationOffset(2, 1) == 424 && ConfigurationOffset(4, 2) == 844);

// Whether the bytes begin with the magic.
bool HasConfigurationMagic(std::span<const std::uint8_t> file);
// The record of a configuration, its entries that name no module read as empty; nothing when
// the magic is wrong or the record is not all there.
std::optional<Loadout> ReadConfiguration(std::span<const std::uint8_t> file, int chassis,
                                         int configuration);
// The file with the loadout written into the record (zeros fill any gap before it), everything
// else kept; nothing when the magic is wrong.
std::optional<std::vector<std::uint8_t>> WriteConfiguration(std::span<const std::uint8_t> file,
                                                            int chassis, int configuration,
                                                            const Loadout& loadout);
// A new file: the magic and every record empty.
std::vector<std::uint8_t> EmptyConfigurationFile();
