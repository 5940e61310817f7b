// The arena's objects in the demo arena under any sequence of the server's messages to them: tank
// creations, removals and tank messages (passed through the network client's size gate as the
// server's are, some posted locally past it), missile and mine records, missile state reports,
// mine orders and touches, the player's own missiles, and frames of every kind's update in the
// tick's order. Tanks fire into the bullet pool, shots hit and splash the tanks, mines are the
// tanks' neighbours; every record of any length and content.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_neighbours.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/arena/mine.h"
#include "battle/arena/missile.h"
#include "battle/arena/mover.h"
#include "battle/arena/own_tank.h"
#include "battle/arena/smoke.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "common/socket/net_incoming.h"
#include "engine/r3x.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace {

constexpr std::uint32_t kOwnTank = KIND_TANK | 5;

constexpr std::uint32_t kTankTypes[] = {
    MSG_CREATE_TANK,  MSG_REMOVE_TANK,       MSG_TANK_STATE,      MSG_TANK_FIRE,
    MSG_TANK_CLOAK,   MSG_TANK_CHASSIS,      MSG_TANK_APPEARANCE, MSG_TANK_SCORE,
    MSG_TANK_STEALTH, MSG_TANK_DAMAGE_LEVEL, MSG_TANK_DESTROYED,  MSG_TANK_RESPAWN,
    MSG_FIRE_FLARES,  MSG_FLAG_TAKEN,        MSG_FLAG_DROPPED,    MSG_TANK_HIT,
};

struct Arena {
  Arena() {
    if (r3xInit() != R3X_DONE) {
      std::abort();
    }
    InitGameParams();
    gGravity = -40.0f;
    pack = r3xOpenWad(ARENA_DEMO_PACK, 64);
    world = r3xCreateWorld(nullptr, 0, nullptr);
    if (pack == nullptr ||
        r3xLoadWorldFile("arena.wld", world, pack, nullptr, nullptr, nullptr) != 0) {
      std::abort();
    }
    equip = r3xOpenWad(ARENA_DEMO_EQUIP, 64);
    if (equip == nullptr ||
        r3xLoadWorldFile("equip.wld", world, equip, nullptr, nullptr, nullptr) != 0) {
      std::abort();
    }
    map = std::make_unique<CArenaMap>(mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
    if (!map->IsValid()) {
      std::abort();
    }
    gWorld = world;
    gArenaMap = map.get();
    gWorldCeiling = map->GetMaxHeight();
    mover.neighbourSource = CollectArenaNeighbours;
    gMover = &mover;
    gOwnTankId = kOwnTank;
    gOwnTankPlacement = {100.0f, 100.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0};
    gListenerPlacement = gOwnTankPlacement;
    MakeSmokePool();
    MakeBulletPool();
    MakeExplosionPool();
  }

  CMover mover;
  R3xWad* pack = nullptr;
  R3xWad* equip = nullptr;
  R3xWorld* world = nullptr;
  std::unique_ptr<CArenaMap> map;
  // The reports the objects send out.
  CMailbox network{kNetworkAddress};
  CMailbox ownTank{kOwnTank};
};

std::vector<std::uint8_t> Take(arena::ByteReader& reader, std::size_t most) {
  const std::size_t length = reader.U8() % (most + 1);
  const std::span<const std::uint8_t> bytes = reader.Span(std::min(length, reader.remaining()));
  return {bytes.begin(), bytes.end()};
}

// An address the objects bear, or one from the bytes.
std::uint32_t Address(arena::ByteReader& reader) {
  const std::uint8_t pick = reader.U8();
  if (pick % 4 == 0 && !gMissileList.empty()) {
    return gMissileList.front()->Address();
  }
  if (pick % 4 == 1 && !gMineList.empty()) {
    return gMineList.back()->Address();
  }
  if (pick % 4 == 2) {
    return kMissileAddressPhoenix + (pick >> 2) % 4 * 0x1000;
  }
  return reader.U32();
}

// A tank message to one of four tank ids; creations keep their ids among those four.
void TankMessage(arena::ByteReader& reader) {
  const std::uint8_t op = reader.U8();
  const std::uint32_t type = kTankTypes[op % std::size(kTankTypes)];
  const std::uint32_t id = KIND_TANK | (reader.U8() & 3);
  std::vector<std::uint8_t> payload = Take(reader, 255);
  const bool local = (op & 0x80) != 0;
  if (!local && ClassifyIncoming(type, payload).action == NetIncoming::Action::kShort) {
    return;
  }
  if (type == MSG_CREATE_TANK) {
    if (payload.size() >= 48) {
      payload[44] = static_cast<std::uint8_t>(id & 3);
      payload[45] = 0;
      payload[46] = static_cast<std::uint8_t>(KIND_TANK >> 16);
      payload[47] = 0;
    }
    CreateTankFromMessage(payload);
  } else if (type == MSG_REMOVE_TANK) {
    RemoveTankFromMessage(payload);
  } else {
    CMailbox::PostAnonymous(id, type, static_cast<std::uint32_t>(payload.size()), payload.data());
  }
}

// Every listed tank's chassis and team lie in their tables.
void CheckTanks() {
  for (const LinkNode* node = gTankList; node != nullptr; node = node->next) {
    const CTank* tank = static_cast<const CTank*>(node->object);
    if (tank->chassis >= kTankChassisCount || tank->team >= kTankTeamCount) {
      std::abort();
    }
  }
}

void Drain(CMailbox& mailbox) {
  std::uint32_t length = 0;
  while (mailbox.Receive(length)) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Arena arena;
  gFrameTime = 1000;
  arena::ByteReader reader(data, size);
  while (reader.remaining() > 0) {
    switch (reader.U8() % 10) {
      case 0:
        CreateMissile(Take(reader, 47));
        break;
      case 1:
        CreateMine(Take(reader, 47));
        break;
      case 2: {
        const std::uint32_t to = Address(reader);
        const std::vector<std::uint8_t> payload = Take(reader, 47);
        CMailbox::PostAnonymous(to, MSG_MISSILE_STATE, static_cast<std::uint32_t>(payload.size()),
                                payload.data());
        break;
      }
      case 3: {
        const std::uint32_t to = Address(reader);
        const std::vector<std::uint8_t> payload = Take(reader, 47);
        CMailbox::PostAnonymous(to, MSG_MINE_DETONATE, static_cast<std::uint32_t>(payload.size()),
                                payload.data());
        break;
      }
      case 4:
        CMailbox::PostAnonymous(Address(reader), MSG_MINE_REMOVE, 0, nullptr);
        break;
      case 5:
        gFrameTime += 1 + reader.U16();
        UpdateAllMissiles();
        UpdateAllBullets();
        UpdateAllMines();
        UpdateAllSmoke();
        UpdateAllExplosions();
        UpdateAllTanks(500.0f);
        CheckTanks();
        break;
      case 6:
        if (!gMineList.empty()) {
          gMineList.front()->ReportHit(kOwnTank, reader.I32());
        }
        break;
      case 7:
        if (!gMissileList.empty()) {
          CMissile& missile = *gMissileList.back();
          missile.SendState();
          if (reader.U8() % 2 == 0 && missile.IsSteered()) {
            gSteeredMissile = &missile;
          }
        }
        break;
      case 8:
        TankMessage(reader);
        break;
      default: {
        // A player's own missile (reported, the guided one steered).
        const std::vector<std::uint8_t> record = Take(reader, 47);
        arena::ByteReader fields(record);
        R3xPlacement pose{
            fields.F32(), fields.F32(), fields.F32(), fields.F32(), fields.F32(), 0.0f, 0};
        ListMissile(std::make_unique<CMissile>(pose, fields.I32(), kOwnTank, 1));
        break;
      }
    }
  }
  gSteeredMissile = nullptr;
  DeleteAllTanks();
  DeleteAllMissiles();
  DeleteAllMines();
  Drain(arena.network);
  Drain(arena.ownTank);
  return 0;
}
