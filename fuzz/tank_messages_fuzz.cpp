// The tanks under any sequence of the server's tank messages: creations, states, fire, cloak,
// chassis, appearance, score, destruction, respawn and removal with random payloads and lengths,
// passed through the network client's size gate as the server's messages are (and some posted
// locally past it), each followed by a frame of UpdateAllTanks in the demo arena.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/mover.h"
#include "battle/arena/tank.h"
#include "battle/arena/tank_list.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "common/socket/net_incoming.h"
#include "engine/r3x.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace {

constexpr std::uint32_t kTypes[] = {
    MSG_CREATE_TANK,  MSG_REMOVE_TANK,       MSG_TANK_STATE,      MSG_TANK_FIRE,
    MSG_TANK_CLOAK,   MSG_TANK_CHASSIS,      MSG_TANK_APPEARANCE, MSG_TANK_SCORE,
    MSG_TANK_STEALTH, MSG_TANK_DAMAGE_LEVEL, MSG_TANK_DESTROYED,  MSG_TANK_RESPAWN,
    MSG_FIRE_FLARES,  MSG_FLAG_TAKEN,        MSG_FLAG_DROPPED,    MSG_TANK_HIT,
};

struct Arena {
  Arena() {
    r3xInit();
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
    gWorld = world;
    gArenaMap = map.get();
    gWorldCeiling = 112.0f;
    mover = std::make_unique<CMover>();
    mover->neighbourSource = CollectTankNeighbours;
    gMover = mover.get();
    gListenerPlacement = {200.0f, 200.0f, 20.0f, 0.0f, 0.0f, 0.0f, 0};
  }
  R3xWad* pack = nullptr;
  R3xWad* equip = nullptr;
  R3xWorld* world = nullptr;
  std::unique_ptr<CArenaMap> map;
  std::unique_ptr<CMover> mover;
};

// Every listed tank's chassis and team lie in their tables.
void CheckTanks() {
  for (const LinkNode* node = gTankList; node != nullptr; node = node->next) {
    const CTank* tank = static_cast<const CTank*>(node->object);
    if (tank->chassis >= kTankChassisCount || tank->team >= kTankTeamCount) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Arena arena;
  arena::ByteReader reader(std::span<const std::uint8_t>(data, size));
  gFrameTime = 1000;
  while (reader.ok() && reader.position() < reader.size()) {
    const std::uint8_t op = reader.U8();
    const std::uint32_t type = kTypes[op % std::size(kTypes)];
    const std::uint32_t id = KIND_TANK | (reader.U8() & 3);
    const std::size_t length = reader.U8();
    std::vector<std::uint8_t> payload(length);
    if (!reader.Bytes(payload.data(), length)) {
      break;
    }
    const bool local = (op & 0x80) != 0;
    if (!local && ClassifyIncoming(type, payload).action == NetIncoming::Action::kShort) {
      continue;
    }
    if (type == MSG_CREATE_TANK) {
      if (length >= 48) {
        // Keep the creations' ids among the four the other messages address.
        payload[44] = static_cast<std::uint8_t>(id & 3);
        payload[45] = 0;
        payload[46] = static_cast<std::uint8_t>(KIND_TANK >> 16);
        payload[47] = 0;
      }
      CreateTankFromMessage(payload);
    } else if (type == MSG_REMOVE_TANK) {
      RemoveTankFromMessage(payload);
    } else {
      CMailbox::PostAnonymous(id, type, static_cast<std::uint32_t>(length), payload.data());
    }
    gFrameTime += 1 + (op & 0x3F);
    UpdateAllTanks(500.0f);
    CheckTanks();
  }
  DeleteAllTanks();
  return 0;
}
