// The sound table: for each sound index, the WAV resource of "sound.dll" it plays and how much
// quieter than full level it plays (hundredths of a decibel).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

struct SoundRow {
  std::string_view name;
  int attenuation;
};

inline constexpr int kSoundCount = 46;

inline constexpr std::array<SoundRow, kSoundCount> kSoundTable = {{
    {"LOOPDEFENSE", 1000},
    {"LOOPLTANK", 0},
    {"LOOPVTANK", 0},
    {"LOOPDTANK", 0},
    {"LOOPCTANK", 0},
    {"LOOPROCKET", 0},
    {"LOOPRAIN", 500},
    {"LOOPCHARGE", 0},
    {"WEATHERTHUNDER", 100},
    {"WEATHERTHUNDER2", 100},
    {"SHELLGROUND", 0},
    {"EXPLOSION", 100},
    {"EXPDETONATION", 100},
    {"BIGEXPLOSION", 0},
    {"BUMPHARD", 0},
    {"BUMPSQUEAK1", 0},
    {"BUMPSQUEAK2", 0},
    {"BUMPSQUEAK3", 0},
    {"BUMPSCRAPE1", 0},
    {"BUMPSCRAPE2", 0},
    {"BUMPDAMAGE", 0},
    {"HITSHRIKE", 100},
    {"HITLASER1", 100},
    {"HITLASER2", 100},
    {"HITPLASMA", 100},
    {"HITDEACTIVATE", 100},
    {"METALHIT", 0},
    {"MISSILEHIT1", 0},
    {"MISSILEHIT2", 0},
    {"FIRESHRIKE", 100},
    {"FIREMISSILE", 100},
    {"FIREPLASMA", 100},
    {"FIREDETMINE", 100},
    {"FIREPROXMINE", 100},
    {"FIREDEFENSE", 100},
    {"SATFIRE", 0},
    {"FIREAP", 0},
    {"FIRELASER1", 0},
    {"FIRELASER2", 0},
    {"FIRELASER4", 100},
    {"FIREPHASELASER1", 0},
    {"FIREPHASELASER2", 0},
    {"FIREPHASELASER4", 100},
    {"COLLISION", 100},
    {"MESSAGE", 100},
    {"TANKDIED", 100},
}};

constexpr bool CheckSoundTable() {
  for (std::size_t i = 0; i < kSoundTable.size(); ++i) {
    if (kSoundTable[i].name.empty() || kSoundTable[i].attenuation < 0) {
      return false;
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (kSoundTable[j].name == kSoundTable[i].name) {
        return false;
      }
    }
  }
  return true;
}
static_assert(CheckSoundTable(), "every row names its own sound and attenuates, never amplifies");

// The index of the row that plays the named sound; kSoundCount when no row does.
constexpr std::uint32_t SoundIndex(std::string_view name) {
  for (std::size_t i = 0; i < kSoundTable.size(); ++i) {
    if (kSoundTable[i].name == name) {
      return static_cast<std::uint32_t>(i);
    }
  }
  return kSoundCount;
}
