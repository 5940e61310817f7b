// The tank messages' wire records: the record that creates a tank and the 36-byte state that
// moves one. Positions, angles and momenta travel as 16-bit integers in units of 1/32.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

inline constexpr std::uint32_t kTankChassisCount = 5;
inline constexpr std::uint32_t kTankTeamCount = 4;
// The name field holds 12 characters and its NUL.
inline constexpr std::size_t kTankNameLength = 12;
inline constexpr std::size_t kTankCreateRecordSize = 48;
inline constexpr std::size_t kTankStateRecordSize = 36;

// The payload of MSG_CREATE_TANK and MSG_CREATE_PLAYER_TANK.
struct TankCreateRecord {
  float position[3] = {};
  float angles[3] = {};  // heading, pitch, roll
  float momentum[3] = {};
  float angularMomentum[3] = {};
  std::uint32_t chassis = 0;
  std::uint32_t team = 0;
  std::uint32_t id = 0;
  // At most 12 characters: the text up to its NUL or the payload's end, cut to the field.
  std::string name;
};

// Null when the payload is shorter than the fixed part; the name never reads past the payload.
std::optional<TankCreateRecord> ParseTankCreateRecord(std::span<const std::uint8_t> payload);

// The 36 bytes of MSG_TANK_STATE and the server's MSG_TANK_RESPAWN, kept as received.
using TankStateRecord = std::array<std::uint8_t, kTankStateRecordSize>;

// The state's fields as the receiver reads them (values already divided by 32).
struct TankState {
  float position[3];
  float angles[3];
  float momentum[3];
  float angularMomentum[3];
  float drive;
  float turn;
  float turretHeadingTarget;  // signed byte 29 x 2
  float barrelPitchTarget;    // signed byte 30 x 2
  std::uint8_t shieldBits;
  std::uint8_t rockets;  // byte 34
};

TankState ReadTankState(const TankStateRecord& record);
