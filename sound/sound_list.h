// The sounds of "sound.dll": each WAV resource's name, its sample rate and what it sounds like.
// mkdata synthesises the images from this list when the library is built.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace sound {

// What a sound is, for the synthesiser. The loops repeat without a seam; every other sound starts
// and ends in silence.
enum class SoundKind : std::uint8_t {
  kEngineLoop,  // a motor's hum: harmonics of the pitch, throbbing
  kHumLoop,     // an electric hum with a buzz
  kRoarLoop,    // a rocket's rushing roar
  kRainLoop,    // falling rain: soft high noise with drops
  kChargeLoop,  // a rising and falling whine
  kThunder,     // a long low rumble
  kExplosion,   // a noise burst with a deep thud, dying away
  kShot,        // a short crack with a tone under it
  kLaser,       // a falling chirp
  kPlasma,      // a warbling falling tone with noise
  kThud,        // a dull low knock
  kSqueak,      // a short high rising chirp
  kScrape,      // grinding band noise
  kClang,       // a metallic ring of inharmonic partials
  kBeep,        // two short tones
  kFanfare,     // three falling tones
};

struct SoundListEntry {
  std::string_view name;
  SoundKind kind;
  std::uint16_t pitch;         // Hz: the sound's fundamental or main tone
  std::uint16_t milliseconds;  // length
  std::uint32_t sampleRate;    // samples per second
  bool sampleChunk;            // a "smpl" chunk with the loop follows the samples
};

inline constexpr std::uint32_t kSoundRate = 11025;
inline constexpr std::uint32_t kRainRate = 22050;

inline constexpr std::array<SoundListEntry, 47> kSoundList = {{
    {"LOOPDEFENSE", SoundKind::kHumLoop, 120, 1000, kSoundRate, false},
    {"LOOPLTANK", SoundKind::kEngineLoop, 55, 1000, kSoundRate, false},
    {"LOOPVTANK", SoundKind::kEngineLoop, 40, 1000, kSoundRate, true},
    {"LOOPDTANK", SoundKind::kEngineLoop, 70, 1000, kSoundRate, false},
    {"LOOPCTANK", SoundKind::kEngineLoop, 90, 1000, kSoundRate, false},
    {"LOOPROCKET", SoundKind::kRoarLoop, 200, 1000, kSoundRate, false},
    {"LOOPRAIN", SoundKind::kRainLoop, 3000, 2000, kRainRate, false},
    {"LOOPCHARGE", SoundKind::kChargeLoop, 600, 1000, kSoundRate, false},
    {"WEATHERTHUNDER", SoundKind::kThunder, 45, 2500, kSoundRate, false},
    {"WEATHERTHUNDER2", SoundKind::kThunder, 60, 2000, kSoundRate, false},
    {"SHELLGROUND", SoundKind::kExplosion, 110, 600, kSoundRate, false},
    {"EXPLOSION", SoundKind::kExplosion, 70, 1200, kSoundRate, false},
    {"EXPDETONATION", SoundKind::kExplosion, 90, 900, kSoundRate, false},
    {"EXPPROXIMITY", SoundKind::kExplosion, 130, 700, kSoundRate, false},
    {"BIGEXPLOSION", SoundKind::kExplosion, 40, 2000, kSoundRate, false},
    {"BUMPHARD", SoundKind::kThud, 80, 300, kSoundRate, false},
    {"BUMPSQUEAK1", SoundKind::kSqueak, 1400, 200, kSoundRate, false},
    {"BUMPSQUEAK2", SoundKind::kSqueak, 1800, 250, kSoundRate, false},
    {"BUMPSQUEAK3", SoundKind::kSqueak, 2200, 180, kSoundRate, false},
    {"BUMPSCRAPE1", SoundKind::kScrape, 700, 500, kSoundRate, false},
    {"BUMPSCRAPE2", SoundKind::kScrape, 1100, 400, kSoundRate, false},
    {"BUMPDAMAGE", SoundKind::kClang, 300, 500, kSoundRate, false},
    {"HITSHRIKE", SoundKind::kClang, 500, 400, kSoundRate, false},
    {"HITLASER1", SoundKind::kLaser, 1500, 250, kSoundRate, false},
    {"HITLASER2", SoundKind::kLaser, 1200, 300, kSoundRate, false},
    {"HITPLASMA", SoundKind::kPlasma, 500, 400, kSoundRate, false},
    {"HITDEACTIVATE", SoundKind::kLaser, 800, 900, kSoundRate, false},
    {"METALHIT", SoundKind::kClang, 700, 300, kSoundRate, false},
    {"MISSILEHIT1", SoundKind::kExplosion, 150, 600, kSoundRate, false},
    {"MISSILEHIT2", SoundKind::kExplosion, 120, 700, kSoundRate, false},
    {"FIRESHRIKE", SoundKind::kShot, 300, 350, kSoundRate, false},
    {"FIREMISSILE", SoundKind::kShot, 150, 500, kSoundRate, false},
    {"FIREPLASMA", SoundKind::kPlasma, 700, 400, kSoundRate, false},
    {"FIREDETMINE", SoundKind::kThud, 200, 250, kSoundRate, false},
    {"FIREPROXMINE", SoundKind::kBeep, 1000, 250, kSoundRate, false},
    {"FIREDEFENSE", SoundKind::kLaser, 2000, 200, kSoundRate, false},
    {"SATFIRE", SoundKind::kLaser, 400, 800, kSoundRate, false},
    {"FIREAP", SoundKind::kShot, 200, 400, kSoundRate, false},
    {"FIRELASER1", SoundKind::kLaser, 2000, 200, kSoundRate, false},
    {"FIRELASER2", SoundKind::kLaser, 1700, 250, kSoundRate, false},
    {"FIRELASER4", SoundKind::kLaser, 1300, 300, kSoundRate, false},
    {"FIREPHASELASER1", SoundKind::kPlasma, 1600, 250, kSoundRate, false},
    {"FIREPHASELASER2", SoundKind::kPlasma, 1300, 300, kSoundRate, false},
    {"FIREPHASELASER4", SoundKind::kPlasma, 1000, 350, kSoundRate, false},
    {"COLLISION", SoundKind::kThud, 60, 400, kSoundRate, false},
    {"MESSAGE", SoundKind::kBeep, 880, 300, kSoundRate, false},
    {"TANKDIED", SoundKind::kFanfare, 440, 900, kSoundRate, false},
}};

// Whether a kind repeats without a seam.
constexpr bool IsLoop(SoundKind kind) {
  return kind == SoundKind::kEngineLoop || kind == SoundKind::kHumLoop ||
         kind == SoundKind::kRoarLoop || kind == SoundKind::kRainLoop ||
         kind == SoundKind::kChargeLoop;
}

constexpr bool CheckSoundList() {
  for (std::size_t i = 0; i < kSoundList.size(); ++i) {
    const SoundListEntry& entry = kSoundList[i];
    if (entry.name.empty() || entry.milliseconds == 0 ||
        (entry.sampleChunk && !IsLoop(entry.kind))) {
      return false;
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (kSoundList[j].name == entry.name) {
        return false;
      }
    }
  }
  return true;
}
static_assert(CheckSoundList(), "sound names are unique; only loops carry a sample chunk");

}  // namespace sound
