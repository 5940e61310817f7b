// The server's team objects (defense towers, recon guns, flags, flares, recon drones) under any
// sequence of creating records, messages to their mailboxes of any type and length, carriers' poses
// and frames, in a world of one region between a floor and a ceiling with the demo arena's height
// map. Every object is deleted at the end of each input, as the world stop does.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/arena_geometry.h"
#include "battle/arena/arena_map.h"
#include "battle/arena/arena_targets.h"
#include "battle/arena/arena_tools.h"
#include "battle/arena/arena_world.h"
#include "battle/arena/defense_tower.h"
#include "battle/arena/flag.h"
#include "battle/arena/flare.h"
#include "battle/arena/mover.h"
#include "battle/arena/recon.h"
#include "battle/arena/recon_gun.h"
#include "battle/core/frame_time.h"
#include "battle/core/game_params.h"
#include "battle/core/global_params.h"
#include "common/messages.h"
#include "engine/r3x.h"
#include "tests/support/test_world_builder.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/demo_arena_map.h"

namespace {

constexpr float kCeiling = 112.0f;

// The ids the inputs address: a few of each kind, so that creations and messages meet.
constexpr std::uint32_t kIds[] = {KIND_FLAG | 1,
                                  KIND_FLAG | 2,
                                  0x30001,
                                  0x30002,
                                  KIND_TANK | 1,
                                  KIND_DEFENSE | 1,
                                  KIND_PERSONAL_DEFENSE | 2,
                                  KIND_RECON_GUN | 1};
constexpr std::uint32_t kObjectTypes[] = {
    MSG_CREATE_FLAG,      MSG_FLAG_TAKEN,          MSG_RECON_CAPTURE,
    MSG_RECON_TEAM,       MSG_FLAG_DROPPED,        MSG_CREATE_RECON,
    MSG_DEFENSE_TARGET,   MSG_DEFENSE_MOVE,        MSG_RAISE,
    MSG_RAISE_END,        MSG_DEFENSE_DESCEND,     MSG_DEFENSE_IDLE,
    MSG_DEFENSE_RELEASE,  MSG_DEFENSE_CARRY_RECON, MSG_DEFENSE_MODULE,
    MSG_CREATE_RECON_GUN, MSG_RECON_GUN_DESTROY};

// One tank for the guns to aim at, whose body the inputs move.
std::vector<ArenaTarget> gTargets;

std::span<const ArenaTarget> ListTargets() { return gTargets; }

struct Arena {
  Arena() {
    r3xInit();
    InitGameParams();
    world = MakeTestWorld(MakeFloorToCeiling(kCeiling));
    MakeTestActorModel(world, "FLAG_DEF", 4, 1.0f, 1.0f);
    MakeTestActorModel(world, "FLARE_DEF", 1, 0.5f, 0.5f);
    MakeTestActorModel(world, "RECON_DEF", 16, 1.0f, 0.0f);
    MakeTestActorModel(world, "RECONGUN_DEF", 20, 1.0f, 1.0f);
    MakeTestActorModel(world, "DRONE_DEF", 12, 1.0f, 1.0f);
    MakeTestActorModel(world, "BODY_DEF", 1, 1.0f, 2.0f);
    map = std::make_unique<CArenaMap>(mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
    gWorld = world;
    gArenaMap = map.get();
    gWorldCeiling = kCeiling;
    gMover = &mover;
    gSphereVolume02 = r3xCreateSphereVolume(0.2f);
    const R3xPlacement at{100.0f, 100.0f, 2.0f, 0.0f, 0.0f, 0.0f, -1};
    body = r3xCreateActor(world, reinterpret_cast<R3xActorDef*>(r3xFindTag(world, "BODY_DEF")),
                          nullptr, &at, nullptr, nullptr, 1.0f, 2.0f,
                          reinterpret_cast<std::uintptr_t>(&carrier));
    gTargets.push_back({KIND_TANK | 1, body, 1, false, true, 5.0f});
    gListArenaTargets = ListTargets;
    gOwnTankPlacement = at;
  }
  R3xActor* body = nullptr;
  R3xWorld* world = nullptr;
  std::unique_ptr<CArenaMap> map;
  CMover mover;
  // Receives what the objects post to the server and to carriers.
  CMailbox network{kNetworkAddress};
  CMailbox carrier{KIND_TANK | 1};
};

void UpdateAll() {
  UpdateAllTowers();
  UpdateAllReconGuns();
  UpdateAllRecons();
  UpdateAllFlags();
  UpdateAllFlares();
}

void DrainMailboxes(Arena& arena) {
  std::uint32_t length = 0;
  while (arena.network.Receive(length) != nullptr) {
  }
  while (arena.carrier.Receive(length) != nullptr) {
  }
}

std::vector<std::uint8_t> Take(arena::ByteReader& reader) {
  const std::size_t size = reader.U8() % 40;
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& byte : bytes) {
    byte = reader.U8();
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Arena arena;
  arena::ByteReader reader(data, size);
  gFrameTime = 1000;
  while (reader.remaining() > 0) {
    switch (reader.U8() % 7) {
      case 0: {  // a creating record to the session
        const std::vector<std::uint8_t> payload = Take(reader);
        switch (reader.U8() % 4) {
          case 0:
            CreateFlag(payload);
            break;
          case 1:
            CreateRecon(payload);
            break;
          case 2:
            CreateReconGun(payload);
            break;
          default:
            CreateTower(payload);
            break;
        }
        break;
      }
      case 1: {  // a message to an object's mailbox
        const std::uint32_t address = kIds[reader.U8() % std::size(kIds)];
        const std::uint32_t type = kObjectTypes[reader.U8() % std::size(kObjectTypes)];
        const std::vector<std::uint8_t> payload = Take(reader);
        CMailbox::PostAnonymous(address, type, static_cast<std::uint32_t>(payload.size()),
                                payload.data());
        break;
      }
      case 2:  // a frame
        gFrameTime += reader.U8() * 20u;
        UpdateAll();
        break;
      case 3: {
        const float x = reader.F32();
        const float y = reader.F32();
        const float z = reader.F32();
        const float heading = reader.F32();
        const float pitch = reader.F32();
        LaunchFlare(x, y, z, heading, pitch);
        break;
      }
      case 4: {  // a carrier's pose
        const std::uint32_t id = kIds[reader.U8() % 2];
        // The tank's pose, whose angles the tank checked where they entered.
        R3xPlacement pose{reader.F32(), reader.F32(), reader.F32(), 0.0f, 0.0f, 0.0f, 0};
        pose.heading = static_cast<float>(reader.U8()) * 2.0f;
        if (CFlag* flag = FindFlag(id)) {
          flag->PlaceAt(pose);
        }
        break;
      }
      case 5: {  // the tank moves
        R3xPlacement at{reader.F32(), reader.F32(), reader.F32(), 0.0f, 0.0f, 0.0f, 0};
        r3xSetActorPlacement(arena.world, arena.body, &at);
        gTargets[0].team = reader.U8() % 5;
        gTargets[0].dead = reader.U8() % 2 == 0;
        break;
      }
      default:  // the own tank drops a flag
        if (CFlag* flag = FindFlag(kIds[reader.U8() % 2])) {
          flag->Drop(1);
        }
        break;
    }
  }
  DeleteAllTowers();
  DeleteAllReconGuns();
  DeleteAllFlares();
  DeleteAllFlags();
  DeleteAllRecons();
  DrainMailboxes(arena);
  return 0;
}
