// The thirteen kinds of shot (1 to 14 without 11): the weapon's model code, the actor action
// shown, the impact (hit class, sound, particle count), the flight time and splash, and the
// push a tank takes, each a number or the GameParamTable row holding one.
#pragma once

#include <array>
#include <cstdint>

#include "battle/core/game_param_rows.h"

inline constexpr std::int32_t kNoRow = -1;

// Hit classes: 1 an explosion, 2 a shot stopped by a shield, 3 to 6 coloured particles.
inline constexpr std::int32_t kHitClassExplosion = 1;
inline constexpr std::int32_t kHitClassShield = 2;

inline constexpr std::int32_t kSoundShellGround = 10;
inline constexpr std::int32_t kSoundExplosion = 11;

struct BulletKind {
  bool valid = false;
  std::int32_t modelCode = 0;
  std::uint32_t action = 0;
  std::int32_t hitClass = 5;
  std::int32_t sound = kSoundExplosion;
  std::int32_t durationRow = kNoRow;  // kNoRow: 10000 ms
  std::int32_t splashRow = kNoRow;    // kNoRow: no splash
  std::uint32_t particles = 0;
  std::int32_t impulseRow = kNoRow;
  bool ballistic = false;  // frag and HEAT shells fly an arc and splash only with a radius
  bool spins = false;      // turns about its roll axis in flight
  bool apDecay = false;    // its damage starts to decay at "!AP -1 Damage Duration"
};

inline constexpr std::size_t kBulletKindCount = 15;

inline constexpr std::array<BulletKind, kBulletKindCount> kBulletKinds{{
    {},
    // 1 defense laser (recon guns, team defense objects)
    {true, 11, 22, 6, kSoundExplosion, kNoRow, PARAM_PROXIMITY_MINE_RADIUS, 1200,
     PARAM_DEFENSE_LASER_HIT_IMPULSE, false, true},
    // 2 personal defense laser
    {true, 12, 21, 5, kSoundExplosion, kNoRow, kNoRow, 200, PARAM_DEFENSE_LASER_HIT_IMPULSE, false,
     true},
    // 3 chain gun
    {true, 6, 7, 5, kSoundExplosion, PARAM_CHAIN_GUN_DURATION, kNoRow, 300,
     PARAM_CHAIN_GUN_HIT_IMPULSE},
    // 4 to 6 lasers Mark I, II, IV
    {true, 0, 1, 3, kSoundExplosion, PARAM_LAZER1_DURATION, kNoRow, 300, PARAM_MARK_I_HIT_IMPULSE},
    {true, 2, 3, 3, kSoundExplosion, PARAM_LAZER2_DURATION, kNoRow, 400, PARAM_MARK_II_HIT_IMPULSE},
    {true, 4, 5, 3, kSoundExplosion, PARAM_LAZER4_DURATION, kNoRow, 500, PARAM_MARK_IV_HIT_IMPULSE},
    // 7 plasma cannon
    {true, 10, 20, 5, kSoundExplosion, PARAM_PLASMA_DURATION, kNoRow, 300,
     PARAM_PLASMA_CANNON_HIT_IMPULSE, false, true},
    // 8 frag shell, 9 HEAT shell: ballistic
    {true, 7, 0, kHitClassExplosion, kSoundShellGround, PARAM_CANNON_DURATION,
     PARAM_FRAG_SHELL_RADIUS, 300, PARAM_FRAG_SHELL_HIT_IMPULSE, true},
    {true, 8, 0, kHitClassExplosion, kSoundShellGround, PARAM_CANNON_DURATION,
     PARAM_HEAT_SHELL_RADIUS, 300, PARAM_HEAT_SHELL_HIT_IMPULSE, true},
    // 10 AP shell
    {true, 9, 0, kHitClassExplosion, kSoundShellGround, PARAM_CANNON_DURATION, kNoRow, 300,
     PARAM_AP_SHELL_HIT_IMPULSE, false, false, true},
    // 11 is not a kind
    {},
    // 12 to 14 enhanced lasers Mark I, II, IV
    {true, 1, 2, 4, kSoundExplosion, PARAM_ENHANCED_LAZER1_DURATION, kNoRow, 600,
     PARAM_MARK_I_HIT_IMPULSE},
    {true, 3, 4, 4, kSoundExplosion, PARAM_ENHANCED_LAZER2_DURATION, kNoRow, 800,
     PARAM_MARK_II_HIT_IMPULSE},
    {true, 5, 6, 4, kSoundExplosion, PARAM_ENHANCED_LAZER4_DURATION, kNoRow, 1000,
     PARAM_MARK_IV_HIT_IMPULSE},
}};
