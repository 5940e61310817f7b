// The models of the arena's objects: one row per model code, naming the actor definition in the
// equipment world and the scale it is shown at. The bullets' weapons own codes 0 to 12 (a
// weapon's code is also the last word of its hit reports); the other kinds look their
// definitions up here.
#pragma once

#include <array>
#include <cstdint>

struct ModelTableRow {
  const char* definition;
  float scale = 1.0f;
};

inline constexpr std::int32_t kModelSmoke = 13;
inline constexpr std::int32_t kModelRecon = 14;
inline constexpr std::int32_t kModelReconGun = 15;
inline constexpr std::int32_t kModelFlag = 16;
inline constexpr std::int32_t kModelFlare = 17;
inline constexpr std::int32_t kModelDetonationMine = 19;
inline constexpr std::int32_t kModelProximityMine = 20;
inline constexpr std::int32_t kModelDeactivatorMine = 21;
inline constexpr std::int32_t kModelDrone = 26;

inline constexpr std::array<ModelTableRow, 30> ModelTable{{
    {"BULLETS_ACTORDEF"},  {"BULLETS_ACTORDEF"},  {"BULLETS_ACTORDEF"}, {"BULLETS_ACTORDEF"},
    {"BULLETS_ACTORDEF"},  {"BULLETS_ACTORDEF"},  {"BULLETS_ACTORDEF"}, {"BULLETS_ACTORDEF"},
    {"BULLETS_ACTORDEF"},  {"BULLETS_ACTORDEF"},  {"BULLETS_ACTORDEF"}, {"BULLETS_ACTORDEF"},
    {"BULLETS_ACTORDEF"},  {"SMOKE_DEF"},         {"RECON_DEF"},        {"RECONGUN_DEF", 3.0f},
    {"FLAG_DEF"},          {"FLARE_DEF"},         {"DIPARBAG_DEF"},     {"MINE_PRX_ACTORDEF"},
    {"MINE_PRX_ACTORDEF"}, {"MINE_DEC_ACTORDEF"}, {"MISSILE_ACTORDEF"}, {"MISSILE_ACTORDEF"},
    {"MISSILE_ACTORDEF"},  {"MISSILE_ACTORDEF"},  {"DRONE_DEF", 4.0f},  {"TURRET_ACTORDEF"},
    {"BARRELL_ACTORDEF"},  {"TANK_ACTORDEF"},
}};
