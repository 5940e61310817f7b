// Missiles and mines (and the explosions they start) in the demo arena under any sequence of the
// server's creation records, missile state reports, mine orders, touches and frames, each record
// of any length and content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/bullet_pool.h"
#include "battle/arena/explosion.h"
#include "battle/arena/mine.h"
#include "battle/arena/missile.h"
#include "battle/arena/mover.h"
#include "battle/arena/own_tank.h"
#include "battle/arena/smoke.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "engine/r3x.h"

namespace {

constexpr std::uint32_t kOwnTank = KIND_TANK | 5;

struct Arena {
  Arena() : map(ARENA_DEMO_MAP) {
    if (r3xInit() != R3X_DONE || !map.IsValid()) {
      std::abort();
    }
    InitGameParams();
    pack = r3xOpenWad(ARENA_DEMO_PACK, 64);
    world = r3xCreateWorld(nullptr, 0, nullptr);
    if (pack == nullptr ||
        r3xLoadWorldFile("arena.wld", world, pack, nullptr, nullptr, nullptr) != 0) {
      std::abort();
    }
    gWorld = world;
    gArenaMap = &map;
    gWorldCeiling = map.GetMaxHeight();
    gGravity = -10.0f;
    gMover = &mover;
    gOwnTankId = kOwnTank;
    gOwnTankPlacement = {100.0f, 100.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0};
    gListenerPlacement = gOwnTankPlacement;
    MakeSmokePool();
    MakeBulletPool();
    MakeExplosionPool();
  }

  CArenaMap map;
  CMover mover;
  R3xWad* pack = nullptr;
  R3xWorld* world = nullptr;
  // The reports the objects send out.
  CMailbox network{kNetworkAddress};
  CMailbox ownTank{kOwnTank};
};

std::vector<std::uint8_t> Take(arena::ByteReader& reader) {
  const std::size_t length = reader.U8() % 48;
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
    switch (reader.U8() % 9) {
      case 0:
        CreateMissile(Take(reader));
        break;
      case 1:
        CreateMine(Take(reader));
        break;
      case 2: {
        const std::uint32_t to = Address(reader);
        const std::vector<std::uint8_t> payload = Take(reader);
        CMailbox::PostAnonymous(to, MSG_MISSILE_STATE, static_cast<std::uint32_t>(payload.size()),
                                payload.data());
        break;
      }
      case 3: {
        const std::uint32_t to = Address(reader);
        const std::vector<std::uint8_t> payload = Take(reader);
        CMailbox::PostAnonymous(to, MSG_MINE_DETONATE, static_cast<std::uint32_t>(payload.size()),
                                payload.data());
        break;
      }
      case 4:
        CMailbox::PostAnonymous(Address(reader), MSG_MINE_REMOVE, 0, nullptr);
        break;
      case 5:
        gFrameTime += reader.U16();
        UpdateAllMissiles();
        UpdateAllBullets();
        UpdateAllMines();
        UpdateAllSmoke();
        UpdateAllExplosions();
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
      default: {
        // A player's own missile (reported, the guided one steered).
        const std::vector<std::uint8_t> record = Take(reader);
        arena::ByteReader fields(record);
        R3xPlacement pose{
            fields.F32(), fields.F32(), fields.F32(), fields.F32(), fields.F32(), 0.0f, 0};
        ListMissile(std::make_unique<CMissile>(pose, fields.I32(), kOwnTank, 1));
        break;
      }
    }
  }
  gSteeredMissile = nullptr;
  DeleteAllMissiles();
  DeleteAllMines();
  Drain(arena.network);
  Drain(arena.ownTank);
  return 0;
}
