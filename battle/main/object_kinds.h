// The kinds of arena object, one row each, in the order the frame updates them: the server's
// message that creates one, the update of the kind's list with the timing phase it falls in, the
// pool the world start fills and the delete-all of the world stop with their orders. The
// dispatcher, the frame tick and the world start and stop loop over this table, so a new kind is
// a file of its own and its row here. A row's functions stay null until its class is built; the
// row's message, order and phase hold already.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "battle/arena/bullet_pool.h"
#include "battle/arena/defense_tower.h"
#include "battle/arena/explosion.h"
#include "battle/arena/flag.h"
#include "battle/arena/flare.h"
#include "battle/arena/mine.h"
#include "battle/arena/missile.h"
#include "battle/arena/recon.h"
#include "battle/arena/recon_gun.h"
#include "battle/arena/smoke.h"
#include "battle/main/own_tank_row.h"
#include "battle/main/phase_timing.h"
#include "battle/main/tank_row.h"
#include "common/messages.h"

class CGameSession;

enum class ObjectKind {
  kDefenseTowers,
  kReconGuns,
  kMissiles,
  kBullets,
  kMines,
  kReconDrones,
  kFlags,
  kFlares,
  kSmoke,
  kExplosions,
  kOwnTank,
  kTanks,
  // The own tank's second step: its messages, after every other tank has moved.
  kOwnTankMessages,
};

using ObjectMessageHandler = void (*)(CGameSession& session, std::span<const std::uint8_t> payload);
using ObjectStep = void (*)(CGameSession& session);

inline constexpr int kNoRank = -1;

struct ObjectKindRow {
  ObjectKind kind;
  std::uint32_t createMessage = 0;  // 0: the server never creates one
  ObjectMessageHandler create = nullptr;
  std::uint32_t removeMessage = 0;  // 0: no message removes one
  ObjectMessageHandler remove = nullptr;
  ObjectStep update = nullptr;      // the frame's update of the kind's list
  PhaseEntry phase = kPhaseTowers;  // in play, the timing entry its group of rows closes
  bool inPlayOnly = false;          // updated only once the own tank exists
  int poolRank = kNoRank;           // when the world start fills its pool
  ObjectStep makePool = nullptr;
  int teardownRank = kNoRank;  // when the world stop deletes them all
  ObjectStep teardown = nullptr;
};

// The classes named in the comments fill their rows' functions as they are built.
inline constexpr ObjectKindRow kObjectKinds[] = {
    // CDefenseTower
    {.kind = ObjectKind::kDefenseTowers,
     .createMessage = MSG_CREATE_DEFENSE,
     .create = CreateTower,
     .update = UpdateAllTowers,
     .phase = kPhaseTowers,
     .teardownRank = 9,
     .teardown = DeleteAllTowers},
    // CReconGun
    {.kind = ObjectKind::kReconGuns,
     .createMessage = MSG_CREATE_RECON_GUN,
     .create = CreateReconGun,
     .update = UpdateAllReconGuns,
     .phase = kPhaseReconGuns,
     .teardownRank = 6,
     .teardown = DeleteAllReconGuns},
    // CMissile: made from a copy of words 2-6, word 1, word 0 and 0.
    {.kind = ObjectKind::kMissiles,
     .createMessage = MSG_CREATE_MISSILE,
     .create = [](CGameSession&, std::span<const std::uint8_t> payload) { CreateMissile(payload); },
     .update = [](CGameSession&) { UpdateAllMissiles(); },
     .phase = kPhaseMissiles,
     .teardownRank = 10,
     .teardown = [](CGameSession&) { DeleteAllMissiles(); }},
    // The bullet pool: 31 nodes.
    {.kind = ObjectKind::kBullets,
     .update = [](CGameSession&) { UpdateAllBullets(); },
     .phase = kPhaseSmallObjects,
     .inPlayOnly = true,
     .poolRank = 1,
     .makePool = [](CGameSession&) { MakeBulletPool(); }},
    // CMine: made from the world and the payload.
    {.kind = ObjectKind::kMines,
     .createMessage = MSG_CREATE_MINE,
     .create = [](CGameSession&, std::span<const std::uint8_t> payload) { CreateMine(payload); },
     .update = [](CGameSession&) { UpdateAllMines(); },
     .phase = kPhaseSmallObjects,
     .teardownRank = 4,
     .teardown = [](CGameSession&) { DeleteAllMines(); }},
    // CRecon
    {.kind = ObjectKind::kReconDrones,
     .createMessage = MSG_CREATE_RECON,
     .create = CreateRecon,
     .update = UpdateAllRecons,
     .phase = kPhaseSmallObjects,
     .teardownRank = 8,
     .teardown = DeleteAllRecons},
    // CFlag: made from payload words 0-5.
    {.kind = ObjectKind::kFlags,
     .createMessage = MSG_CREATE_FLAG,
     .create = CreateFlag,
     .update = UpdateAllFlags,
     .phase = kPhaseSmallObjects,
     .teardownRank = 5,
     .teardown = DeleteAllFlags},
    // CFlare
    {.kind = ObjectKind::kFlares,
     .update = UpdateAllFlares,
     .phase = kPhaseSmallObjects,
     .teardownRank = 7,
     .teardown = DeleteAllFlares},
    // Smoke puffs: a pool of 50.
    {.kind = ObjectKind::kSmoke,
     .update = [](CGameSession&) { UpdateAllSmoke(); },
     .phase = kPhaseSmoke,
     .poolRank = 0,
     .makePool = [](CGameSession&) { MakeSmokePool(); },
     .teardownRank = 2,
     .teardown = [](CGameSession&) { DeleteAllSmoke(); }},
    // Explosions: a pool of 30.
    {.kind = ObjectKind::kExplosions,
     .update = [](CGameSession&) { UpdateAllExplosions(); },
     .phase = kPhaseExplosions,
     .poolRank = 2,
     .makePool = [](CGameSession&) { MakeExplosionPool(); },
     .teardownRank = 3,
     .teardown = [](CGameSession&) { DeleteAllExplosions(); }},
    // CPlayerTank: a tank that exists already is deleted first; when made, its cockpit is built,
    // an empty MSG_COCKPIT_REFRESH goes to KIND_PLAYER_INPUT and the in-play flag is set. Its
    // update runs when it exists.
    {.kind = ObjectKind::kOwnTank,
     .createMessage = MSG_CREATE_PLAYER_TANK,
     .create = CreateOwnTankRow,
     .update = UpdateOwnTankRow,
     .phase = kPhaseOwnTank,
     .teardownRank = 0,
     .teardown = DeleteOwnTankRow},
    // CTank: made with local 0, linking itself into the tank list; MSG_REMOVE_TANK is KillTank
    // with payload word 0; the update is UpdateAllTanks.
    {.kind = ObjectKind::kTanks,
     .createMessage = MSG_CREATE_TANK,
     .create = CreateTankRow,
     .removeMessage = MSG_REMOVE_TANK,
     .remove = RemoveTankRow,
     .update = UpdateTanksRow,
     .phase = kPhaseTanks,
     .teardownRank = 1,
     .teardown = DeleteTanksRow},
    // CPlayerTank::ProcessMessages, when the own tank exists.
    {.kind = ObjectKind::kOwnTankMessages,
     .update = ProcessOwnTankMessagesRow,
     .phase = kPhaseOwnMessages},
};

namespace object_kinds_detail {

constexpr int CountRowsCreatedBy(std::span<const ObjectKindRow> kinds, std::uint32_t type) {
  int count = 0;
  for (const ObjectKindRow& row : kinds) {
    count += row.createMessage == type ? 1 : 0;
  }
  return count;
}

constexpr bool IsCreatingMessage(const MessageInfo& info) {
  return info.name.starts_with("MSG_CREATE_");
}

// A catalogue message that creates an object. The catalogue is searched here rather than through
// FindMessageInfo: GCC's undefined-behaviour sanitizer refuses comparing its result with null in
// a constant expression.
constexpr bool IsCreatingType(std::uint32_t type) {
  for (const MessageInfo& info : kMessageCatalogue) {
    if (info.type == type) {
      return IsCreatingMessage(info);
    }
  }
  return false;
}

// Every creating message of the catalogue has exactly one row, and every row's creating message
// is one.
constexpr bool EachCreatingMessageHasOneRow(std::span<const ObjectKindRow> kinds) {
  for (const MessageInfo& info : kMessageCatalogue) {
    if (IsCreatingMessage(info) && CountRowsCreatedBy(kinds, info.type) != 1) {
      return false;
    }
  }
  for (const ObjectKindRow& row : kinds) {
    if (row.createMessage != 0 && !IsCreatingType(row.createMessage)) {
      return false;
    }
  }
  return true;
}

// The rows' phases run from the towers' to the own tank's messages', each phase in one group.
constexpr bool EachPhaseOnceInOrder(std::span<const ObjectKindRow> kinds) {
  std::size_t expected = kPhaseTowers;
  for (const ObjectKindRow& row : kinds) {
    if (row.phase == expected + 1) {
      ++expected;
    } else if (row.phase != expected) {
      return false;
    }
  }
  return expected == kPhaseOwnMessages;
}

// The ranks that a member selects are 0, 1, ... without gaps or repeats.
template <int ObjectKindRow::*Rank>
constexpr bool RanksAreAnOrder(std::span<const ObjectKindRow> kinds) {
  int count = 0;
  for (const ObjectKindRow& row : kinds) {
    count += row.*Rank != kNoRank ? 1 : 0;
  }
  for (int rank = 0; rank < count; ++rank) {
    int holders = 0;
    for (const ObjectKindRow& row : kinds) {
      holders += row.*Rank == rank ? 1 : 0;
    }
    if (holders != 1) {
      return false;
    }
  }
  return true;
}

}  // namespace object_kinds_detail

static_assert(object_kinds_detail::EachCreatingMessageHasOneRow(kObjectKinds));
static_assert(object_kinds_detail::EachPhaseOnceInOrder(kObjectKinds));
static_assert(object_kinds_detail::RanksAreAnOrder<&ObjectKindRow::poolRank>(kObjectKinds));
static_assert(object_kinds_detail::RanksAreAnOrder<&ObjectKindRow::teardownRank>(kObjectKinds));

// The dispatcher's share: a kind's creating or removing message goes to its row. False when no
// row names the type.
bool DispatchObjectMessage(CGameSession& session, std::uint32_t type,
                           std::span<const std::uint8_t> payload,
                           std::span<const ObjectKindRow> kinds = kObjectKinds);
// The frame's object updates in the table's order; bullets only in play. In play each group of
// rows closes its timing entry (while timing is on).
void UpdateObjects(CGameSession& session, std::span<const ObjectKindRow> kinds = kObjectKinds);
// The world start's pools, in their order.
void MakeObjectPools(CGameSession& session, std::span<const ObjectKindRow> kinds = kObjectKinds);
// The world stop's delete-all of every kind, in its order.
void TearDownObjects(CGameSession& session, std::span<const ObjectKindRow> kinds = kObjectKinds);
