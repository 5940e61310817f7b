#include "battle/arena/tank_list.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/arena_targets.h"
#include "battle/arena/tank.h"
#include "battle/core/log.h"
#include "battle/core/vector3.h"

LinkNode* gTankList = nullptr;

namespace {

CTank* TankOf(const LinkNode* node) { return static_cast<CTank*>(node->object); }

// The neighbour records handed to the mover; rebuilt at each request.
std::vector<MoverNeighbour>& NeighbourStore() {
  static std::vector<MoverNeighbour> store;
  return store;
}

// The guns' view of the tanks; rebuilt at each request.
std::vector<ArenaTarget>& TargetStore() {
  static std::vector<ArenaTarget> store;
  return store;
}

// Every listed tank as the defense towers and recon guns see it.
std::span<const ArenaTarget> ListTankTargets() {
  std::vector<ArenaTarget>& store = TargetStore();
  store.clear();
  for (LinkNode* node = gTankList; node != nullptr; node = node->next) {
    const CTank* tank = TankOf(node);
    const bool moving = std::any_of(std::begin(tank->momentum), std::end(tank->momentum),
                                    [](float m) { return std::fabs(m) >= 0.001f; });
    const float forwardSpeed = Dot(tank->orientation[0], tank->momentum) * tank->inverseMass;
    store.push_back({tank->Address(), tank->bodyActor, static_cast<std::int32_t>(tank->team),
                     tank->dead != 0, moving, forwardSpeed});
  }
  return store;
}

}  // namespace

ArenaTargetLister gListArenaTargets = ListTankTargets;

CTank* CreateTankFromMessage(std::span<const std::uint8_t> payload) {
  const std::optional<TankCreateRecord> record = ParseTankCreateRecord(payload);
  if (!record) {
    LogPrintf(0, "tank record of %zu bytes refused: %zu needed", payload.size(),
              kTankCreateRecordSize);
    return nullptr;
  }
  if (record->chassis >= kTankChassisCount || record->team >= kTankTeamCount) {
    LogPrintf(0, "tank 0x%08X refused: chassis %u (0-4), team %u (0-3)", record->id,
              record->chassis, record->team);
    return nullptr;
  }
  auto* tank = new CTank(*record, 0);
  if (!tank->IsOnList()) {
    // Nothing else would ever find it to delete it.
    delete tank;
    return nullptr;
  }
  return tank;
}

void RemoveTankFromMessage(std::span<const std::uint8_t> payload) {
  arena::ByteReader reader(payload);
  KillTank(reader.U32());
}

void UpdateAllTanks(float farDistance) {
  gTankZoneFarDistance = farDistance;
  for (LinkNode* node = gTankList; node != nullptr;) {
    LinkNode* next = node->next;
    CTank* tank = TankOf(node);
    if (tank->Update() != 0) {
      delete tank;
    }
    node = next;
  }
}

void KillTank(std::uint32_t id) {
  for (LinkNode* node = gTankList; node != nullptr; node = node->next) {
    if (TankOf(node)->Address() == id) {
      TankOf(node)->Kill();
    }
  }
}

void DeleteAllTanks() {
  while (gTankList != nullptr) {
    delete TankOf(gTankList);
  }
}

MoverNeighbours CollectTankNeighbours() {
  std::vector<MoverNeighbour>& store = NeighbourStore();
  store.clear();
  for (LinkNode* node = gTankList; node != nullptr; node = node->next) {
    const CTank* tank = TankOf(node);
    if (tank->smallCollisionActor == nullptr) {
      continue;
    }
    store.push_back({{tank->position[0], tank->position[1], tank->position[2]},
                     tank->smallCollisionActor,
                     tank->mediumCollisionActor});
  }
  return {{}, {}, store};
}
